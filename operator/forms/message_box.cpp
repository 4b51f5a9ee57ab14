#include "operator/forms/message_box.h"

#include <QList>

#include "operator/forms/line_ends.h"
#include "operator/shell/operator_ui.h"

namespace quorvel::forms {
namespace {

constexpr int kButtonMask = 0x0f;
constexpr int kIconMask = 0xf0;
constexpr int kDefaultButtonMask = 0xf00;
constexpr int kDefaultButtonShift = 8;

using Button = QMessageBox::StandardButton;

QList<Button> orderedButtons(int style) {
    switch (style & kButtonMask) {
        case kOkCancel:
            return {QMessageBox::Ok, QMessageBox::Cancel};
        case kAbortRetryIgnore:
            return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
        case kYesNoCancel:
            return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
        case kYesNo:
            return {QMessageBox::Yes, QMessageBox::No};
        case kRetryCancel:
            return {QMessageBox::Retry, QMessageBox::Cancel};
        default:
            return {QMessageBox::Ok};
    }
}

}  // namespace

QMessageBox::StandardButtons ButtonsForStyle(int style) {
    QMessageBox::StandardButtons buttons;
    for (Button button : orderedButtons(style)) buttons |= button;
    return buttons;
}

QMessageBox::Icon IconForStyle(int style) {
    switch (style & kIconMask) {
        case kIconStop:
            return QMessageBox::Critical;
        case kIconQuestion:
            return QMessageBox::Question;
        case kIconExclamation:
            return QMessageBox::Warning;
        case kIconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton DefaultButtonForStyle(int style) {
    const QList<Button> buttons = orderedButtons(style);
    const auto index = static_cast<qsizetype>((style & kDefaultButtonMask) >> kDefaultButtonShift);
    return index < buttons.size() ? buttons[index] : buttons.front();
}

int AnswerForButton(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Cancel:
            return kAnswerCancel;
        case QMessageBox::Abort:
            return kAnswerAbort;
        case QMessageBox::Retry:
            return kAnswerRetry;
        case QMessageBox::Ignore:
            return kAnswerIgnore;
        case QMessageBox::Yes:
            return kAnswerYes;
        case QMessageBox::No:
            return kAnswerNo;
        default:
            return kAnswerOk;
    }
}

int ShowMessageBox(QWidget* owner, const QString& prompt, int style, const QString& title) {
    QMessageBox box(IconForStyle(style), title, NormalizedLineEnds(prompt), ButtonsForStyle(style),
                    owner);
    box.setObjectName("messageBox");
    box.setDefaultButton(DefaultButtonForStyle(style));
    const QList<Button> buttons = orderedButtons(style);
    for (Button fallback :
         {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok, QMessageBox::Abort}) {
        if (buttons.contains(fallback)) {
            box.setEscapeButton(fallback);
            break;
        }
    }
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
    QAbstractButton* pressed = box.clickedButton();
    const Button button =
        pressed ? box.standardButton(pressed) : box.standardButton(box.escapeButton());
    return AnswerForButton(button);
}

}  // namespace quorvel::forms
