#include "operator/forms/port_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "linkpad/com_ports.h"
#include "operator/forms/com_port_map.h"
#include "operator/forms/message_box.h"
#include "operator/forms/serial_details_dialog.h"
#include "operator/shell/operator_ui.h"
#include "operator/shell/start_mode.h"

namespace quorvel::forms {
namespace {

constexpr int kAddresses = 32;
constexpr int kListedPorts = 6;
const QStringList kResetTimes = {"25", "30", "35", "40", "45"};

void selectText(QComboBox* list, const QString& text) {
    list->setCurrentIndex(list->findText(text));
}

void selectAddress(QComboBox* list, const QString& stored) {
    bool number = false;
    const int address = stored.toInt(&number);
    list->setCurrentIndex(number && address >= 0 && address < kAddresses ? address : -1);
}

bool isComPort(const QString& name) { return name.startsWith("COM"); }

}  // namespace

const QStringList& PortNames() {
    static const QStringList names = {
        "COM1", "COM2",         "LPT1",         "LPT2",          "Ethernet TCP/IP",
        "USB",  "COM1 - RS485", "COM2 - RS485", "GPIB (IEEE488)"};
    return names;
}

PortFields FieldsForPort(const QString& portName, const QString& startMode) {
    PortFields fields;
    fields.baudrate = isComPort(portName);
    fields.serialDevice = isComPort(portName);
    fields.rs485Address = portName.endsWith("RS485");
    fields.gpibAddress = portName == "GPIB (IEEE488)";
    fields.ipAddress = portName == "Ethernet TCP/IP";
    fields.usbAddress = portName == "USB" && startMode != "P";
    return fields;
}

PortDialog::PortDialog(PortSettings& port, SettingsStore& store, const QString& startMode,
                       const QString& mappingFile, QWidget* parent)
    : QDialog(parent),
      portSettings_(port),
      store_(store),
      startMode_(startMode),
      mappingFile_(mappingFile) {
    setObjectName("frmProperties");
    setWindowTitle("Port Properties");
    auto* column = new QVBoxLayout(this);
    form_ = new QFormLayout;
    column->addLayout(form_);
    buildLists(startMode);

    auto* buttons = new QDialogButtonBox;
    QPushButton* details = buttons->addButton("&Serial details...", QDialogButtonBox::ActionRole);
    details->setObjectName("btnAdd");
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName("cmdPropsOk");
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName("cmdPropsCancel");
    connect(details, &QPushButton::clicked, this, &PortDialog::openSerialDetails);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortDialog::storeAndClose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    connect(port_, &QComboBox::activated, this,
            [this](int index) { showFieldsFor(PortNames().value(index)); });
    showFieldsFor(port.commPort);
}

QComboBox* PortDialog::addressList(const QString& name) {
    auto* list = new QComboBox;
    list->setObjectName(name);
    for (int address = 0; address < kAddresses; ++address) list->addItem(QString::number(address));
    return list;
}

QComboBox* PortDialog::deviceList(int comNumber) {
    auto* list = new QComboBox;
    list->setObjectName(QString("cboCom%1Device").arg(comNumber));
    list->setEditable(true);
    for (const SerialDevice& device : SerialDevices()) {
        list->addItem(device.path);
        list->setItemData(list->count() - 1, device.description, Qt::ToolTipRole);
    }
    list->setCurrentText(QString::fromStdString(linkpad::comDevice(comNumber).device));
    return list;
}

void PortDialog::buildLists(const QString& startMode) {
    port_ = new QComboBox;
    port_->setObjectName("cboPort");
    port_->addItems(PortNames().mid(0, kListedPorts));
    port_->setCurrentIndex(PortNames().indexOf(portSettings_.commPort) < kListedPorts
                               ? static_cast<int>(PortNames().indexOf(portSettings_.commPort))
                               : -1);
    baud_ = new QComboBox;
    baud_->setObjectName("cboBaud");
    baud_->addItems({"9600", "19200", "38400"});
    if (IsServiceMode(startMode)) baud_->addItem("57600");
    selectText(baud_, portSettings_.baudrate);
    reset_ = new QComboBox;
    reset_->setObjectName("cboReset");
    reset_->addItems(kResetTimes);
    selectText(reset_, portSettings_.resetTimeout3);
    rs485_ = addressList("cboRs485Adr");
    selectAddress(rs485_, portSettings_.rs485Adr);
    gpib_ = addressList("cboGpibAdr");
    selectAddress(gpib_, portSettings_.gpibAdr);
    ip_ = new QLineEdit(portSettings_.ipAdr);
    ip_->setObjectName("cboIpAdr");
    usb_ = new QLineEdit(portSettings_.usbAdr);
    usb_->setObjectName("cboUSBAdr");
    usb_->setPlaceholderText("first USB device");
    com1_ = deviceList(1);
    com2_ = deviceList(2);
    mappingNote_ = new QLabel(QString("Stored in %1").arg(mappingFile_));
    mappingNote_->setWordWrap(true);

    form_->addRow("&Port:", port_);
    form_->addRow("&Baud rate:", baud_);
    form_->addRow("&Reset time (s):", reset_);
    form_->addRow("RS485 &address:", rs485_);
    form_->addRow("&GPIB address:", gpib_);
    form_->addRow("&Network address:", ip_);
    form_->addRow("&USB device:", usb_);
    form_->addRow("COM&1 device:", com1_);
    form_->addRow("COM&2 device:", com2_);
    form_->addRow(mappingNote_);
}

void PortDialog::showFieldsFor(const QString& portName) {
    const PortFields fields = FieldsForPort(portName, startMode_);
    form_->setRowVisible(baud_, fields.baudrate);
    form_->setRowVisible(rs485_, fields.rs485Address);
    form_->setRowVisible(gpib_, fields.gpibAddress);
    form_->setRowVisible(ip_, fields.ipAddress);
    form_->setRowVisible(usb_, fields.usbAddress);
    form_->setRowVisible(com1_, fields.serialDevice);
    form_->setRowVisible(com2_, fields.serialDevice);
    form_->setRowVisible(mappingNote_, fields.serialDevice);
    adjustSize();
}

void PortDialog::openSerialDetails() {
    SerialDetailsDialog details(portSettings_, store_, this);
    details.exec();
}

bool PortDialog::storeComMapping() {
    const std::pair<int, QComboBox*> lists[] = {{1, com1_}, {2, com2_}};
    for (const auto& [number, list] : lists) {
        const QString device = list->currentText().trimmed();
        if (device == QString::fromStdString(linkpad::comDevice(number).device)) continue;
        QString error;
        if (!StoreComMapping(mappingFile_, number, device, error)) {
            ShowMessageBox(
                this,
                "The COM port mapping could not be written to\r" + mappingFile_ + ":\r" + error,
                kIconExclamation, windowTitle());
            return false;
        }
    }
    return true;
}

void PortDialog::storeAndClose() {
    if (!storeComMapping()) return;
    PortSettings& p = portSettings_;
    if (port_->currentIndex() >= 0) p.commPort = PortNames().value(port_->currentIndex());
    if (baud_->currentIndex() >= 0) p.baudrate = baud_->currentText();
    if (reset_->currentIndex() >= 0) p.resetTimeout3 = reset_->currentText();
    if (rs485_->currentIndex() >= 0) p.rs485Adr = QString::number(rs485_->currentIndex());
    if (gpib_->currentIndex() >= 0) p.gpibAdr = QString::number(gpib_->currentIndex());
    p.ipAdr = ip_->text();
    p.usbAdr = usb_->text();
    store_.setValue("Properties", "CommPort", p.commPort);
    store_.setValue("Properties", "Baudrate", p.baudrate);
    store_.setValue("Properties", "ResetTimeout3", p.resetTimeout3);
    store_.setValue("Properties", "Rs485Adr", p.rs485Adr);
    store_.setValue("Properties", "GpibAdr", p.gpibAdr);
    store_.setValue("Properties", "IpAdr", p.ipAdr);
    store_.setValue("Properties", "USBAdr", p.usbAdr);
    store_.setValue("App", "IpCnt", "0");
    store_.sync();
    accept();
}

}  // namespace quorvel::forms
