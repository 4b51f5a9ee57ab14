#pragma once
// C++ seams of the port library: the clock every component shares, and the choice of transport.
// Tests and the in-process simulator use them; production code leaves them at their defaults.
#include <functional>
#include <memory>
#include <string>

#include "linkpad/clock.h"
#include "linkpad/peer.h"
#include "linkpad/transport.h"

namespace linkpad {

// What QTX_OpenPort was asked for.
struct PortRequest {
    int kind = 0;
    int parameter = 0;      // baud rate for serial ports
    std::string address;    // parity letter (serial), host[:port] (TCP), serial number (USB)
    bool hasAddress = false;
    int value = 0;          // data bits (serial)
    int option = 0;         // stop bits (serial)
};

struct OpenResult {
    std::unique_ptr<Transport> transport;
    int error = 0;          // negative QTX_ERR_* when transport is empty
    std::string message;    // why, for the traffic log and the caller
};

using TransportFactory = std::function<OpenResult(const PortRequest&)>;

Clock& clock();
// nullptr restores the real clock.
void setClock(Clock* clock);
// An empty factory restores the built-in transports.
void setTransportFactory(TransportFactory factory);
// The message of the last failed QTX_OpenPort ("Permission denied on /dev/ttyS0: ...").
std::string lastError();

// A transport that talks to `peer` on the shared clock.
std::unique_ptr<Transport> makeInProcessTransport(std::shared_ptr<Peer> peer);

// RAII helpers for tests: restore the defaults on scope exit.
class ScopedClock {
public:
    explicit ScopedClock(Clock& c) { setClock(&c); }
    ~ScopedClock() { setClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

class ScopedTransportFactory {
public:
    explicit ScopedTransportFactory(TransportFactory f) { setTransportFactory(std::move(f)); }
    ~ScopedTransportFactory() { setTransportFactory({}); }
    ScopedTransportFactory(const ScopedTransportFactory&) = delete;
    ScopedTransportFactory& operator=(const ScopedTransportFactory&) = delete;
};

// Routes every QTX_OpenPort to the given peer.
TransportFactory peerFactory(std::shared_ptr<Peer> peer);

}  // namespace linkpad
