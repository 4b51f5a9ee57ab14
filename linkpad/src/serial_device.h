#pragma once
// Opening a serial device (a real UART, a USB serial adapter, a pseudo-terminal) with the
// rack's line settings, with errors that tell the user what to do.
#include <string>

#include "linkpad/hooks.h"

namespace linkpad {

struct SerialSettings {
    int baud = 9600;
    char parity = 'e';  // 'e' even, 'o' odd, 'n' none
    int dataBits = 8;
    int stopBits = 1;

    // Baud rate = port parameter, parity letter = first letter of the port address,
    // data bits = port value, stop bits = port option; zero or empty picks the default.
    static SerialSettings fromRequest(const PortRequest& request);
    std::string describe() const;  // "9600 8E1"
};

// `hint` is added to a "no such device" message (where the name came from, what exists).
OpenResult openSerialDevice(const std::string& path, const SerialSettings& settings,
                            const std::string& hint);

// The serial devices this machine has, as a text for messages ("/dev/ttyS0, /dev/ttyUSB0").
std::string listSerialDevices();

}  // namespace linkpad
