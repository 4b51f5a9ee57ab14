#pragma once
// One host connection to the simulated rack over a file descriptor (a TCP socket or the master
// side of a pseudo-terminal): bytes in go to the rack stamped with their arrival time, answers
// go out when the rack made them ready. With a byte time set, both directions are paced like a
// serial line.
#include <functional>
#include <optional>
#include <string>

#include "rack/core/rack.h"
#include "rack/sim/stop_signal.h"

namespace rack::sim {

using EventLog = std::function<void(const std::string&)>;

// Time one byte takes on a serial line: 11 bits (start, 8 data, parity, stop) at `baud`.
Clock::duration byteTimeAt(int baud);

class HostSession {
public:
    enum class End { HostLeft, RackHungUp, Stopped };

    HostSession(int fd, Rack& rack, Clock& clock, Clock::duration byteTime = {});
    End run(const StopSignal& stop);

private:
    void collectAnswers(Clock::time_point now);
    bool writeDue(Clock::time_point now);
    bool readInput();
    std::optional<Clock::duration> pollTimeout(Clock::time_point now) const;

    int fd_;
    Rack& rack_;
    Clock& clock_;
    Clock::duration byteTime_;
    std::string output_;            // answers ready for the host, not yet written
    Clock::time_point lineFreeAt_{};  // paced output: when the next byte has left the line
    Clock::time_point inputFreeAt_{}; // paced input: when the last byte has arrived
    bool hungUp_ = false;
};

}  // namespace rack::sim
