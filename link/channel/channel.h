#pragma once
// The one connection to the rack: connection state, callbacks, the message buffer, and the
// routines every loader uses to send a command, read its answer and pace the rack.
#include <cstdint>
#include <string>
#include <string_view>

#include "link/quorlink.h"

namespace quorlink {

struct ConnectionState {
    int32_t portKind = 0;
    int32_t portParameter = 0;
    std::string portAddress;  // empty when the caller passed none
    int32_t portOption = 0;
    int32_t deviceAddress = -1;
    int32_t trafficLog = 0;
    QuorlinkCallback message = nullptr;
    QuorlinkCallback progress = nullptr;
    QuorlinkCallback status = nullptr;
    QuorlinkCallback input = nullptr;  // stored by the processor loaders, never called
};

class Channel {
public:
    static constexpr size_t kMessageBufferSize = 512;
    static constexpr size_t kChunkSize = 512;
    static constexpr size_t kLoggedInFull = 100;

    ConnectionState& state() { return state_; }
    // Milliseconds on the port library's clock (wrapping at 2^32), for intervals.
    uint32_t tickMs() const;

    // Callback bookkeeping: exports store what they receive before doing anything else.
    void setMessageCallback(QuorlinkCallback cb) { state_.message = cb; }
    void setProgressCallback(QuorlinkCallback cb) { state_.progress = cb; }
    void setStatusCallback(QuorlinkCallback cb) { state_.status = cb; }
    void setInputCallback(QuorlinkCallback cb) { state_.input = cb; }

    // 5 ms pause, then the command in chunks of 512 (or logged as a summary); sum of write results.
    int sendCommand(std::string_view command);
    // One answer line, or exactly two raw bytes when maximum is 2; 0 = an answer arrived.
    int readAnswer(std::string& answer, int maximum);
    // sendCommand + readAnswer.
    int query(std::string_view command, std::string& answer, int maximum);

    void waitMs(int ms);
    void waitSeconds(int seconds) { waitMs(seconds * 1000); }

    void reportMessage(std::string_view text, int kind);
    void reportProgress(int percent);
    void reportStatus(std::string_view text, int code);

    const std::string& messageBuffer() const { return message_; }
    void setMessageBuffer(std::string_view text);

private:
    ConnectionState state_;
    std::string message_;
};

// The library's single connection.
Channel& channel();

// Writes CR, LF and the terminating zero at `position` of a text.
void appendLineEnd(std::string& text, size_t position);

}  // namespace quorlink
