#include "operator/forms/serial_details_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvel::forms {
namespace {

struct FlowChoice {
    const char* control;
    const char* name;
    const char* caption;
};
constexpr FlowChoice kFlows[] = {
    {"btnFlowNone", "NONE", "&None"},
    {"btnFlowRts", "RTS", "&RTS/CTS"},
    {"btnFlowXonRts", "XONRTS", "XON/XOFF &and RTS/CTS"},
    {"btnFlowXonXoff", "XONXOFF", "&XON/XOFF"},
};

QComboBox* listOf(const char* name, const QStringList& entries, const QString& selected) {
    auto* list = new QComboBox;
    list->setObjectName(name);
    list->addItems(entries);
    list->setCurrentIndex(list->findText(selected));
    return list;
}

}  // namespace

SerialDetailsDialog::SerialDetailsDialog(PortSettings& port, SettingsStore& store, QWidget* parent)
    : QDialog(parent), port_(port), store_(store) {
    setObjectName("frmPropsAdd");
    setWindowTitle("Serial Line Details");
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    bits_ = listOf("cboBits", {"8", "7"}, port.dataBits);
    stop_ = listOf("cboStop", {"1", "2"}, port.stopBits);
    parity_ = listOf("cboParity", {"even", "odd", "none"}, port.parity);
    form->addRow("&Data bits:", bits_);
    form->addRow("&Stop bits:", stop_);
    form->addRow("&Parity:", parity_);
    column->addLayout(form);

    auto* group = new QGroupBox("Handshake");
    auto* choices = new QVBoxLayout(group);
    flow_ = new QButtonGroup(this);
    for (const FlowChoice& choice : kFlows) {
        auto* button = new QRadioButton(choice.caption);
        button->setObjectName(choice.control);
        button->setProperty("flowName", QString(choice.name));
        button->setChecked(port.flow == choice.name);
        flow_->addButton(button);
        choices->addWidget(button);
    }
    column->addWidget(group);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdPropsAddOk");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cmdPropsAddCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &SerialDetailsDialog::storeAndClose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void SerialDetailsDialog::storeAndClose() {
    if (QAbstractButton* flow = flow_->checkedButton()) {
        port_.flow = flow->property("flowName").toString();
    }
    if (bits_->currentIndex() >= 0) port_.dataBits = bits_->currentText();
    if (stop_->currentIndex() >= 0) port_.stopBits = stop_->currentText();
    if (parity_->currentIndex() >= 0) port_.parity = parity_->currentText();
    store_.setValue("Properties", "Flow", port_.flow);
    store_.setValue("Properties", "DataBits", port_.dataBits);
    store_.setValue("Properties", "StopBits", port_.stopBits);
    store_.setValue("Properties", "Parity", port_.parity);
    store_.sync();
    accept();
}

}  // namespace quorvel::forms
