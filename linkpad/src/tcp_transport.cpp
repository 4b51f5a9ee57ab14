// Placeholder until the tcp transport lands.
#include "linkpad/linkpad.h"
#include "transports.h"

namespace linkpad {
OpenResult openTcpTransport(const PortRequest&) {
    return {nullptr, QTX_ERR_UNSUPPORTED, "tcp transport not built yet"};
}
}  // namespace linkpad
