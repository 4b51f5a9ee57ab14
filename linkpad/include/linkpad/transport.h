#pragma once
// A byte pipe to the rack. The port library keeps one; serial, TCP, USB and the in-process peer
// implement it. Line assembly, time-outs and the traffic log live above it, in the port library.
#include <string>
#include <string_view>

#include "linkpad/clock.h"

namespace linkpad {

enum class ReceiveStatus { Data, Timeout, Closed };

class Transport {
public:
    virtual ~Transport() = default;
    // Writes all bytes; returns 0 or a negative QTX_ERR_* code.
    virtual int write(std::string_view bytes) = 0;
    // Appends at least one available byte to `out`, or waits until `deadline`.
    virtual ReceiveStatus receive(std::string& out, Clock::time_point deadline) = 0;
    // Discards what has arrived but was not read.
    virtual void discardInput() = 0;
    // Serial break condition; other transports ignore it.
    virtual int setBreak(bool on) {
        (void)on;
        return 0;
    }
    // For the traffic log: "TCP 127.0.0.1:5025", "serial /dev/ttyS0 9600 8E1", ...
    virtual std::string describe() const = 0;
};

}  // namespace linkpad
