#pragma once
// The port library's single module state: the current port, its read time-out, the bytes that
// arrived after the last answer, and the traffic log.
#include <memory>
#include <string>

#include "linkpad/hooks.h"
#include "traffic_log.h"

namespace linkpad {

OpenResult openBuiltinTransport(const PortRequest& request);

class PortLibrary {
public:
    static PortLibrary& instance();

    int open(const PortRequest& request);
    int close();
    bool isOpen() const { return transport_ != nullptr; }

    int write(std::string_view bytes);
    // Reads up to `maximum` bytes, or up to and including the terminator when it is >= 0.
    ReceiveStatus read(std::string& out, size_t maximum, int terminator, int timeoutMs);
    void discardInput();
    int setBreak(bool on);

    int timeoutMs() const { return timeoutMs_; }
    void setTimeoutMs(int ms) { timeoutMs_ = ms; }
    TrafficLog& log() { return log_; }
    const std::string& lastError() const { return lastError_; }
    void setLastError(std::string message) { lastError_ = std::move(message); }

private:
    std::unique_ptr<Transport> transport_;
    void skipRestOfLine();

    std::string pending_;        // received but not yet delivered
    bool skippingLine_ = false;  // the last line was cut at the caller's maximum
    int timeoutMs_ = 3600;
    TrafficLog log_;
    std::string lastError_;
};

}  // namespace linkpad
