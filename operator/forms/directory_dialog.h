#pragma once
// The download directory: shows a pending copy, changed with the desktop's directory chooser;
// OK makes it the download directory (always ending with "/"), Cancel leaves everything as it was.
#include <QDialog>
#include <functional>

class QLineEdit;

namespace quorvel::forms {

// `path` with a final "/" unless it already ends with one.
QString WithFinalSlash(const QString& path);

class DirectoryDialog : public QDialog {
    Q_OBJECT
  public:
    // Asks for a directory starting at the given one; empty when the operator cancelled.
    using Chooser = std::function<QString(QWidget* parent, const QString& start)>;

    DirectoryDialog(const QString& downloadDirectory, const QString& defaultDirectory,
                    QWidget* parent = nullptr, Chooser chooser = {});

    QString pendingDirectory() const { return pending_; }

  private:
    void change();

    QString pending_;
    QString default_;
    QLineEdit* text_;
    Chooser chooser_;
};

}  // namespace quorvel::forms
