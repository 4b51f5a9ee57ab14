#include <cctype>

#include "serial_device.h"

namespace linkpad {

SerialSettings SerialSettings::fromRequest(const PortRequest& request) {
    SerialSettings s;
    if (request.parameter > 0) s.baud = request.parameter;
    if (!request.address.empty()) s.parity = static_cast<char>(std::tolower(static_cast<unsigned char>(request.address[0])));
    if (request.value > 0) s.dataBits = request.value;
    if (request.option > 0) s.stopBits = request.option;
    return s;
}

std::string SerialSettings::describe() const {
    return std::to_string(baud) + " " + std::to_string(dataBits) +
           static_cast<char>(std::toupper(static_cast<unsigned char>(parity))) + std::to_string(stopBits);
}

}  // namespace linkpad
