#include "dialog_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace forms_tests {

DialogAnswerer::DialogAnswerer() { qApp->installEventFilter(this); }

DialogAnswerer::~DialogAnswerer() { qApp->removeEventFilter(this); }

void DialogAnswerer::expectMessageButton(const QString& buttonText) {
    expect([buttonText](QDialog& dialog) {
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            if (button->text().remove('&') == QString(buttonText).remove('&')) {
                button->click();
                return;
            }
        }
        dialog.reject();
    });
}

bool DialogAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isModal()) {
            QPointer<QDialog> pointer(dialog);
            QTimer::singleShot(0, this, [this, pointer] {
                if (pointer && pointer->isVisible()) answer(pointer);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void DialogAnswerer::answer(QDialog* dialog) {
    shown_ << dialog->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) texts_ << box->text();
    if (rejectAll_ || answers_.empty()) {
        if (!rejectAll_) ++unexpected_;
        dialog->reject();
        return;
    }
    Answer next = std::move(answers_.front());
    answers_.pop_front();
    next(*dialog);
}

}  // namespace forms_tests
