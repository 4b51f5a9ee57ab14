#pragma once
// A transport over a POSIX file descriptor (a TCP socket or a serial device). Reads and writes
// never block past their deadline; a peer that goes away ends a read at once.
#include <functional>
#include <string>

#include "linkpad/transport.h"

namespace linkpad {

class FdTransport : public Transport {
public:
    // `release` closes the descriptor (close(2), or the serial library's own close).
    FdTransport(int fd, std::string description, std::function<void(int)> release);
    ~FdTransport() override;
    FdTransport(const FdTransport&) = delete;
    FdTransport& operator=(const FdTransport&) = delete;

    int write(std::string_view bytes) override;
    ReceiveStatus receive(std::string& out, Clock::time_point deadline) override;
    void discardInput() override;
    int setBreak(bool on) override;
    std::string describe() const override { return description_; }

protected:
    int fd() const { return fd_; }

private:
    // Waits for `events` until the deadline; false on time-out.
    bool waitFor(short events, Clock::time_point deadline) const;

    int fd_;
    std::string description_;
    std::function<void(int)> release_;
    bool closed_ = false;
};

// Milliseconds from now until `deadline` on the shared clock, rounded up, at least 0.
int msUntil(Clock::time_point deadline);

}  // namespace linkpad
