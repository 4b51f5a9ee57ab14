// Serial ports COM1/COM2 and their RS485 kinds: the port kind picks the device through the
// COM mapping, the port arguments give the line settings.
#include "linkpad/com_ports.h"
#include "serial_device.h"
#include "transports.h"

namespace linkpad {

OpenResult openSerialTransport(const PortRequest& request) {
    const int com = comNumberForPortKind(request.kind);
    const ComMapping mapping = comDevice(com);
    return openSerialDevice(mapping.device, SerialSettings::fromRequest(request),
                            "COM" + std::to_string(com) + " from " + mapping.source);
}

}  // namespace linkpad
