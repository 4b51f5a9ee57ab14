#pragma once
// A simulated rack served on a real TCP port or pseudo-terminal by the simulator's own server,
// in a thread, on the real clock, for the processor benchmark. After finish() the board can be
// inspected.
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>

#include "linkpad/clock.h"
#include "rack/core/rack_file.h"
#include "rack/sim/pty_server.h"
#include "rack/sim/stop_signal.h"
#include "rack/sim/tcp_server.h"

namespace testing_support {

class ServedRack {
public:
    enum class Over { Tcp, PseudoTerminal };

    ServedRack(const nlohmann::json& description, Over over) : rack_(rack::buildRack(description)) {
        if (over == Over::Tcp) {
            tcp_ = std::make_unique<rack::sim::TcpServer>(*rack_, clock_, "127.0.0.1:0");
            where_ = tcp_->address();
            thread_ = std::thread([this] { tcp_->run(stop_); });
        } else {
            pty_ = std::make_unique<rack::sim::PtyServer>(*rack_, clock_);
            where_ = pty_->path();
            thread_ = std::thread([this] { pty_->run(stop_); });
        }
    }
    ~ServedRack() { finish(); }
    ServedRack(const ServedRack&) = delete;
    ServedRack& operator=(const ServedRack&) = delete;

    // "127.0.0.1:40123" or "/dev/pts/4".
    const std::string& where() const { return where_; }
    // Stops serving; the rack is the test's alone afterwards.
    rack::Rack& finish() {
        if (thread_.joinable()) {
            stop_.request();
            thread_.join();
        }
        return *rack_;
    }

private:
    std::unique_ptr<rack::Rack> rack_;
    linkpad::RealClock clock_;
    rack::sim::StopSignal stop_;
    std::unique_ptr<rack::sim::TcpServer> tcp_;
    std::unique_ptr<rack::sim::PtyServer> pty_;
    std::string where_;
    std::thread thread_;
};

}  // namespace testing_support
