#pragma once
// A simulated rack served on a real pseudo-terminal by the simulator's own server, in a thread,
// on the real clock. After finish() the board can be inspected.
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>

#include "linkpad/clock.h"
#include "rack/core/rack_file.h"
#include "rack/sim/pty_server.h"
#include "rack/sim/stop_signal.h"

namespace testing_support {

class ServedRack {
public:
    explicit ServedRack(const nlohmann::json& description)
        : rack_(rack::buildRack(description)), pty_(std::make_unique<rack::sim::PtyServer>(*rack_, clock_)) {
        thread_ = std::thread([this] { pty_->run(stop_); });
    }
    ~ServedRack() { finish(); }
    ServedRack(const ServedRack&) = delete;
    ServedRack& operator=(const ServedRack&) = delete;

    // "/dev/pts/4".
    const std::string& where() const { return pty_->path(); }
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
    std::unique_ptr<rack::sim::PtyServer> pty_;
    std::thread thread_;
};

}  // namespace testing_support
