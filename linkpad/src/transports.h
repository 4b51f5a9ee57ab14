#pragma once
// Constructors of the built-in transports; each file implements one.
#include "linkpad/hooks.h"

namespace linkpad {

OpenResult openSerialTransport(const PortRequest& request);
OpenResult openTcpTransport(const PortRequest& request);
OpenResult openUsbTransport(const PortRequest& request);

}  // namespace linkpad
