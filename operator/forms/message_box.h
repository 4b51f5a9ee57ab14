#pragma once
// Message boxes with the button-and-icon codes the drivers use: the codes mapped to Qt's buttons
// and icons, CR as line break, the box centred on its owner, the answer as the drivers' code.
#include <QMessageBox>

namespace quorvel::forms {

QMessageBox::StandardButtons ButtonsForStyle(int style);
QMessageBox::Icon IconForStyle(int style);
// The button chosen when the operator only presses Enter (the style's default-button bits).
QMessageBox::StandardButton DefaultButtonForStyle(int style);
// The answer code (kAnswerOk ...) for a pressed button.
int AnswerForButton(QMessageBox::StandardButton button);

// Shows the box modally over `owner` and returns the answer code; closing the box without a
// button answers Cancel when the box has one, else No, else OK.
int ShowMessageBox(QWidget* owner, const QString& prompt, int style, const QString& title);

}  // namespace quorvel::forms
