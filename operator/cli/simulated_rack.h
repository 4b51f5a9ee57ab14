#pragma once
// The simulated rack served inside this process on a loopback TCP port, for --simulate.
#include <memory>
#include <string>
#include <thread>

#include "linkpad/clock.h"
#include "rack/core/rack.h"
#include "rack/sim/stop_signal.h"
#include "rack/sim/tcp_server.h"

namespace quorvel::cli {

class SimulatedRack {
public:
    // Loads the rack file and starts serving; throws std::runtime_error naming the problem.
    explicit SimulatedRack(const std::string& rackFile);
    ~SimulatedRack();
    SimulatedRack(const SimulatedRack&) = delete;
    SimulatedRack& operator=(const SimulatedRack&) = delete;

    // "127.0.0.1:<port>"
    const std::string& address() const { return server_->address(); }

private:
    std::unique_ptr<rack::Rack> rack_;
    linkpad::RealClock clock_;
    rack::sim::StopSignal stop_;
    std::unique_ptr<rack::sim::TcpServer> server_;
    std::thread thread_;
};

// The rack file shipped with the program: <program>/../share/quorvel/racks/default.json.
std::string DefaultRackFile();

}  // namespace quorvel::cli
