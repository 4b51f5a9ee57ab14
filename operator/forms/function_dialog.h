#pragma once
// The function window of a processor firmware directory: one button per function the operator
// may run, in the file's order; pressing one chooses it, closing the window chooses none. The
// window grows by one button height per function.
#include <QDialog>
#include <optional>

class QGroupBox;
class QPushButton;

namespace quorvel::forms {

class FunctionDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaximumButtons = 10;
    // Heights in twips (1/1440 inch): per button, and what the frame and the window add to it.
    static constexpr int kButtonTwips = 600;
    static constexpr int kFrameExtraTwips = 500;
    static constexpr int kWindowExtraTwips = 1200;

    FunctionDialog(const QString& title, const QStringList& names, QWidget* parent = nullptr);

    // Shows the window; the index of the pressed button, nullopt when it was closed.
    std::optional<int> choose();

    const QList<QPushButton*>& buttons() const { return buttons_; }
    QGroupBox* frame() const { return frame_; }
    // Twips as pixels of this window's screen.
    int pixels(int twips) const;

  private:
    QGroupBox* frame_ = nullptr;
    QList<QPushButton*> buttons_;
    std::optional<int> chosen_;
};

}  // namespace quorvel::forms
