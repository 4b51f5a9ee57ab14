#include "operator/forms/bootstrap_input_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel::forms {
namespace {

QLineEdit* field(const QString& name, const QString& label, int length) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setMaxLength(length);
    edit->setAccessibleName(label);
    return edit;
}

}  // namespace

BootstrapInputDialog::BootstrapInputDialog(std::function<bool()> confirmCancel, QWidget* parent)
    : QDialog(parent), confirmCancel_(std::move(confirmCancel)) {
    setObjectName("frmInputBox");
    setWindowTitle("Urbootloader DVxxA");
    auto* column = new QVBoxLayout(this);
    auto* frame = new QGroupBox("Please Input DVxx Values/ Bitte DVxx Werte eingeben: ");
    auto* form = new QFormLayout(frame);
    serial_ = field("txtSerNum", "Serial Number/ Serien-Nummer:", kSerialNumberLength);
    revision_ = field("txtHWRev", "Hardware Revision Number:", kHardwareRevisionLength);
    form->addRow("&Serial Number/ Serien-Nummer:", serial_);
    form->addRow("&Hardware Revision Number:", revision_);
    column->addWidget(frame);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setToolTip("Save settings and leave window");
    buttons->button(QDialogButtonBox::Cancel)->setToolTip("Leave without changes");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BootstrapInputDialog::reject);
    column->addWidget(buttons);
    serial_->setFocus();
}

std::optional<std::pair<QString, QString>> BootstrapInputDialog::ask() {
    serial_->clear();
    revision_->clear();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return std::make_pair(serial_->text().left(kSerialNumberLength),
                          revision_->text().left(kHardwareRevisionLength));
}

void BootstrapInputDialog::reject() {
    if (!confirmCancel_ || confirmCancel_()) QDialog::reject();
}

}  // namespace quorvel::forms
