// Placeholder until the serial transport lands.
#include "linkpad/linkpad.h"
#include "transports.h"

namespace linkpad {
OpenResult openSerialTransport(const PortRequest&) {
    return {nullptr, QTX_ERR_UNSUPPORTED, "serial transport not built yet"};
}
}  // namespace linkpad
