#pragma once
// A processor restart: the board answers nothing until its new system is up, and its
// interpreter then waits for DC2 like after power-on.
#include "rack/core/rack.h"

namespace rack {

class RestartWindow {
public:
    // Silent from the rack's current work on, for `ms`.
    void begin(Rack& rack, int ms) {
        until_ = rack.now() + std::chrono::milliseconds(ms);
        rack.sleepInterpreter();
    }
    bool active(const Rack& rack) const { return rack.now() < until_; }

private:
    Clock::time_point until_{};
};

}  // namespace rack
