#pragma once
// The far end of the in-process transport: something that takes the host's bytes and produces
// timed answers on the shared clock. The simulated rack and the tests' scripted ports implement it.
#include <optional>
#include <string>
#include <string_view>

#include "linkpad/clock.h"

namespace linkpad {

struct PeerChunk {
    Clock::time_point readyAt{};  // the bytes cannot be read before this time
    std::string bytes;
    bool hangUp = false;  // the peer closes the connection at readyAt
};

class Peer {
public:
    virtual ~Peer() = default;
    virtual void fromHost(std::string_view bytes, Clock::time_point now) = 0;
    // The earliest chunk waiting for the host, if any; consumed with popToHost().
    virtual std::optional<PeerChunk> peekToHost() = 0;
    virtual void popToHost() = 0;
    virtual void breakCondition(bool on, Clock::time_point now) {
        (void)on;
        (void)now;
    }
};

}  // namespace linkpad
