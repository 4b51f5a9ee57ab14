#include "linkpad/linkpad.h"
#include "port_library.h"
#include "transports.h"

namespace linkpad {

OpenResult openBuiltinTransport(const PortRequest& request) {
    switch (request.kind) {
        case QTX_PORT_COM1:
        case QTX_PORT_COM2:
        case QTX_PORT_COM1_RS485:
        case QTX_PORT_COM2_RS485:
            return openSerialTransport(request);
        case QTX_PORT_TCP:
            return openTcpTransport(request);
        case QTX_PORT_USB:
            return openUsbTransport(request);
        case QTX_PORT_LPT1:
        case QTX_PORT_LPT2:
            return {nullptr, QTX_ERR_UNSUPPORTED,
                    "parallel ports (LPT) have no transport on this platform; use a serial, "
                    "TCP/IP or USB connection"};
        case QTX_PORT_GPIB:
            return {nullptr, QTX_ERR_UNSUPPORTED,
                    "GPIB (IEEE488) has no transport on this platform; use a serial, TCP/IP or "
                    "USB connection"};
        default:
            return {nullptr, QTX_ERR_ARGUMENT,
                    "unknown port kind " + std::to_string(request.kind)};
    }
}

}  // namespace linkpad
