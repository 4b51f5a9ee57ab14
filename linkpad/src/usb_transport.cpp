// USB ports: the rack's USB serial interface, found among the USB serial devices by its serial
// number (the port address); no address picks the first one.
#include <libserialport.h>

#include <memory>

#include "linkpad/linkpad.h"
#include "serial_device.h"
#include "transports.h"

namespace linkpad {

namespace {

struct UsbDevice {
    std::string path;
    std::string serialNumber;
};

std::vector<UsbDevice> usbSerialDevices() {
    std::vector<UsbDevice> found;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK) return found;
    for (sp_port** p = ports; *p; ++p) {
        if (sp_get_port_transport(*p) != SP_TRANSPORT_USB) continue;
        const char* serial = sp_get_port_usb_serial(*p);
        found.push_back({sp_get_port_name(*p), serial ? serial : ""});
    }
    sp_free_port_list(ports);
    return found;
}

std::string describe(const std::vector<UsbDevice>& devices) {
    if (devices.empty()) return "no USB serial device is connected; check the cable and that the rack is on";
    std::string text = "USB serial devices present:";
    for (const auto& d : devices)
        text += " " + d.path + " (serial number " + (d.serialNumber.empty() ? "none" : d.serialNumber) + ")";
    return text;
}

}  // namespace

OpenResult openUsbTransport(const PortRequest& request) {
    const auto devices = usbSerialDevices();
    const std::string& wanted = request.address;
    for (const auto& device : devices) {
        if (!wanted.empty() && device.serialNumber != wanted) continue;
        // The port address names the device, so the line settings keep their defaults but the rate.
        SerialSettings settings;
        if (request.parameter > 0) settings.baud = request.parameter;
        return openSerialDevice(device.path, settings, "USB serial number " + device.serialNumber);
    }
    const std::string what = wanted.empty() ? std::string("no USB serial device found")
                                            : "no USB serial device with serial number \"" + wanted + "\"";
    return {nullptr, QTX_ERR_NO_DEVICE, what + "; " + describe(devices)};
}

}  // namespace linkpad
