#include "link/processor/processor_common.h"

#include <cstdlib>

#include "link/channel/channel.h"
#include "linkpad/linkpad.h"

namespace quorlink::processor {

void sendRestartTrigger() {
    const char trigger[] = {0x12, '\r', '\n'};
    QTX_WritePortCount(trigger, sizeof trigger);
}

void flushQueues() {
    QTX_FlushInQueue();
    QTX_FlushOutQueue();
}

uint16_t answerLow16(std::string_view answer) {
    const std::string text(answer);
    const long long value = std::strtoll(text.c_str(), nullptr, 0);
    return static_cast<uint16_t>(static_cast<unsigned long long>(value) & 0xFFFF);
}

void appendHex(std::string& out, const uint8_t* bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.reserve(out.size() + 2 * count);
    for (size_t i = 0; i < count; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0x0F];
    }
}

void waitSteps(int steps) {
    Channel& ch = channel();
    for (int i = 1; i <= steps; ++i) {
        ch.waitMs(200);
        ch.reportProgress(i * 100 / steps);
    }
}

}  // namespace quorlink::processor
