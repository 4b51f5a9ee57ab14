#pragma once
// The text viewer: a read-only text with every line end made one line break, an optional label,
// an icon, one or two buttons; it grows to fit its text within the screen.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quorvel::forms {

struct ShowBoxContent {
    enum class Icon { None, Query, Exclamation };
    QString text;
    QString optionalText;   // shown above the buttons when not empty
    QString caption;        // window caption; empty keeps the default
    QString okCaption;      // empty keeps "OK"
    QString cancelCaption;  // empty hides the Cancel button
    Icon icon = Icon::None;
    bool atEnd = false;     // opens at the newest (last) line, as a log is read
};

class ShowBox : public QDialog {
    Q_OBJECT
  public:
    explicit ShowBox(const ShowBoxContent& content, QWidget* parent = nullptr);
    QString shownText() const;
    void setText(const QString& text);

  private:
    void fitToText();

    QPlainTextEdit* text_;
    QLabel* optional_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Shows the viewer modally; true when it was closed with the OK button.
bool MyShowBox(QWidget* parent, const ShowBoxContent& content);

}  // namespace quorvel::forms
