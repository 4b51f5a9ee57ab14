#include "operator/cli/port_options.h"

#include <map>

namespace quorvel::cli {
namespace {

// Port library results of a port that cannot be opened.
constexpr int kUnsupported = -2;
constexpr int kNoDevice = -3;
constexpr int kPermission = -4;
constexpr int kBusy = -5;

bool isLptOrGpib(const QString& name) {
    return name == "LPT1" || name == "LPT2" || name == "GPIB (IEEE488)";
}

bool isNetwork(const PortSettings& port) { return port.commPort == "Ethernet TCP/IP"; }

std::string where(const PortSettings& port) {
    if (port.commPort == "Ethernet TCP/IP") return "the rack at " + port.ipAdr.toStdString();
    return port.commPort.toStdString();
}

}  // namespace

QString PortNameFromOption(const std::string& option) {
    static const std::map<QString, QString> aliases = {
        {"com1", "COM1"},
        {"com2", "COM2"},
        {"lpt1", "LPT1"},
        {"lpt2", "LPT2"},
        {"com1 - rs485", "COM1 - RS485"},
        {"com1-rs485", "COM1 - RS485"},
        {"com2 - rs485", "COM2 - RS485"},
        {"com2-rs485", "COM2 - RS485"},
        {"ethernet tcp/ip", "Ethernet TCP/IP"},
        {"tcp", "Ethernet TCP/IP"},
        {"ethernet", "Ethernet TCP/IP"},
        {"gpib (ieee488)", "GPIB (IEEE488)"},
        {"gpib", "GPIB (IEEE488)"},
        {"usb", "USB"},
    };
    const auto found = aliases.find(QString::fromStdString(option).trimmed().toLower());
    return found == aliases.end() ? QString() : found->second;
}

std::optional<std::string> ApplyPortOverrides(const PortOverrides& o, PortSettings& port) {
    if (o.port) {
        const QString name = PortNameFromOption(*o.port);
        if (name.isEmpty()) {
            return "unknown port \"" + *o.port +
                   "\"; use com1, com2, com1-rs485, com2-rs485, tcp, usb, gpib, lpt1 or lpt2";
        }
        port.commPort = name;
    }
    if (o.baud) port.baudrate = QString::number(*o.baud);
    if (o.address) {
        const QString address = QString::fromStdString(*o.address);
        if (port.commPort == "Ethernet TCP/IP") {
            port.ipAdr = address;
        } else if (port.commPort == "USB") {
            port.usbAdr = address;
        } else if (port.commPort == "GPIB (IEEE488)") {
            port.gpibAdr = address;
        } else {
            port.rs485Adr = address;
        }
    }
    return std::nullopt;
}

bool IsNoAnswer(int result, const PortSettings& port) {
    if (result == -1) return true;
    if (result == kUnsupported) return !isLptOrGpib(port.commPort);
    // Over the network, nothing listening, a connect that timed out or no route to the host
    // all mean that no rack can be reached there.
    return result == kNoDevice && isNetwork(port);
}

std::string ConnectionAdvice(int result, const PortSettings& port, const std::string& detail) {
    const std::string because = detail.empty() ? std::string() : " (" + detail + ")";
    if (result == kNoDevice && isNetwork(port)) {
        return where(port) + " cannot be reached" + because +
               ". Check the address (--address HOST[:PORT]) and the network.";
    }
    if (IsNoAnswer(result, port)) {
        return "no rack answered on " + where(port) +
               ". Check that the rack is switched on and connected, and the port settings "
               "(--port, --baud, --address).";
    }
    switch (result) {
        case kPermission:
            return "no permission to open " + where(port) + because +
                   ". Add your user to the dialout group (sudo usermod -aG dialout $USER) and "
                   "log in again.";
        case kBusy:
            return where(port) + " is in use by another program" + because +
                   ". Close the other program (terminal, another Quorvel) and try again.";
        case kNoDevice:
            return where(port) + " was not found" + because +
                   ". Check --port and that the device is plugged in.";
        case kUnsupported:
            return where(port) + " is not available on this system" + because +
                   ". Use a serial port, Ethernet TCP/IP or USB.";
        default:
            return "the connection to " + where(port) + " failed" + because + ".";
    }
}

}  // namespace quorvel::cli
