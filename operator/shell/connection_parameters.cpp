#include "operator/shell/connection_parameters.h"

#include "operator/shell/text_fields.h"

namespace quorvel {

void ComputeConnectionParameters(const PortSettings& port, bool trafficLogOn,
                                 ConnectionParameters& c) {
    const int baud = static_cast<int>(LeadingNumber(port.baudrate));
    c.portParameter = baud;
    c.portText = port.parity.left(1);
    c.deviceAddress = -1;
    c.dataBits = static_cast<int>(LeadingNumber(port.dataBits));
    c.stopBits = static_cast<int>(LeadingNumber(port.stopBits));
    c.resetSeconds = static_cast<int>(LeadingNumber(port.resetTimeout3));
    c.trafficLog = trafficLogOn ? 1 : 0;

    const QString& name = port.commPort;
    if (name == "COM1") {
        c.portKind = 1;
    } else if (name == "COM2") {
        c.portKind = 2;
    } else if (name == "LPT1" || name == "LPT2") {
        c.portKind = name == "LPT1" ? 90 : 91;
        c.portParameter = 95;
    } else if (name == "COM1 - RS485" || name == "COM2 - RS485") {
        c.portKind = name.startsWith("COM1") ? 10 : 20;
        c.deviceAddress = static_cast<int>(LeadingNumber(port.rs485Adr));
    } else if (name == "Ethernet TCP/IP") {
        c.portKind = 100;
        c.portParameter = 1;
        c.portText = port.ipAdr;
    } else if (name == "GPIB (IEEE488)") {
        c.portKind = 488;
        c.deviceAddress = static_cast<int>(LeadingNumber(port.gpibAdr));
    } else if (name == "USB") {
        c.portKind = 200;
        c.portParameter = 3;
        c.portText = port.usbAdr.isEmpty() ? std::nullopt : std::optional(port.usbAdr);
    }
}

QString PortSummary(const PortSettings& port) {
    const QString& name = port.commPort;
    if (name == "LPT1" || name == "LPT2") return name;
    if (name == "Ethernet TCP/IP") return "TCP/IP, " + port.ipAdr;
    if (name == "GPIB (IEEE488)") return name + ", " + port.gpibAdr;
    if (name == "USB") return port.usbAdr.isEmpty() ? name + ", first device" : name + ", " + port.usbAdr;
    return name + ", " + port.baudrate;
}

}  // namespace quorvel
