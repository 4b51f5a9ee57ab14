#pragma once
// Answers the modal dialogs a test expects, in order, as soon as each is shown; a dialog nobody
// expected is recorded and rejected so that the test never hangs.
#include <QDialog>
#include <QObject>
#include <deque>
#include <functional>

namespace forms_tests {

class DialogAnswerer : public QObject {
  public:
    using Answer = std::function<void(QDialog&)>;

    DialogAnswerer();
    ~DialogAnswerer() override;

    void expect(Answer answer) { answers_.push_back(std::move(answer)); }
    // A message box answered with the button of this text ("&No" or "No").
    void expectMessageButton(const QString& buttonText);
    // Every dialog is rejected (Escape), for random input.
    void rejectEverything(bool on) { rejectAll_ = on; }

    const QStringList& shownTitles() const { return shown_; }
    QStringList shownTexts() const { return texts_; }
    int unexpected() const { return unexpected_; }
    bool allAnswered() const { return answers_.empty(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void answer(QDialog* dialog);

    std::deque<Answer> answers_;
    QStringList shown_;
    QStringList texts_;
    int unexpected_ = 0;
    bool rejectAll_ = false;
};

}  // namespace forms_tests
