#pragma once
// The simulated rack on a TCP port: one host connection at a time; the rack keeps its state
// from one connection to the next, as a real rack does.
#include <string>

#include "rack/sim/host_session.h"

namespace rack::sim {

class TcpServer {
public:
    // Binds and listens on "host:port" (port 0 = any free port); throws std::runtime_error.
    TcpServer(Rack& rack, Clock& clock, const std::string& address, EventLog log = {});
    ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // The address actually bound, "127.0.0.1:40123" or "[::1]:40123".
    const std::string& address() const { return bound_; }
    int port() const { return port_; }
    // Serves connections until `stop` is requested.
    void run(const StopSignal& stop);

private:
    int acceptHost(const StopSignal& stop);

    Rack& rack_;
    Clock& clock_;
    EventLog log_;
    int listener_ = -1;
    int port_ = 0;
    std::string bound_;
};

}  // namespace rack::sim
