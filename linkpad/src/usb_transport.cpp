// Placeholder until the usb transport lands.
#include "linkpad/linkpad.h"
#include "transports.h"

namespace linkpad {
OpenResult openUsbTransport(const PortRequest&) {
    return {nullptr, QTX_ERR_UNSUPPORTED, "usb transport not built yet"};
}
}  // namespace linkpad
