#pragma once
// Port properties: port, baud rate, reset time, device addresses and, on this machine, the
// devices behind COM1 and COM2. Everything is stored on OK only; Cancel changes nothing.
#include <QDialog>

#include "operator/shell/settings_store.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace quorvel::forms {

// Which fields belong to a port (by its stored name) in a start mode.
struct PortFields {
    bool baudrate = false;
    bool rs485Address = false;
    bool gpibAddress = false;
    bool ipAddress = false;
    bool usbAddress = false;
    bool serialDevice = false;  // the COM1/COM2 device mapping
};
PortFields FieldsForPort(const QString& portName, const QString& startMode);

// The port names by list index; indexes 6-8 come only from the settings store.
const QStringList& PortNames();

class PortDialog : public QDialog {
    Q_OBJECT
  public:
    // `port` is the program's copy in memory; `mappingFile` the port library's COM mapping file.
    PortDialog(PortSettings& port, SettingsStore& store, const QString& startMode,
               const QString& mappingFile, QWidget* parent = nullptr);

    QComboBox* portList() const { return port_; }

  private:
    void buildLists(const QString& startMode);
    void showFieldsFor(const QString& portName);
    void openSerialDetails();
    void storeAndClose();
    bool storeComMapping();
    QComboBox* addressList(const QString& name);
    QComboBox* deviceList(int comNumber);

    PortSettings& portSettings_;
    SettingsStore& store_;
    QString startMode_;
    QString mappingFile_;
    QFormLayout* form_;
    QComboBox* port_;
    QComboBox* baud_;
    QComboBox* reset_;
    QComboBox* rs485_;
    QComboBox* gpib_;
    QLineEdit* ip_;
    QLineEdit* usb_;
    QComboBox* com1_;
    QComboBox* com2_;
    QLabel* mappingNote_;
};

}  // namespace quorvel::forms
