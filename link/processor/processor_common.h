#pragma once
// Helpers shared by the processor loaders: the restart trigger, numeric answers, hex text and
// the stepped restart wait with progress.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/channel/progress.h"

namespace quorlink::processor {

// DC2 followed by CR LF: wakes the interpreter of a processor that restarted.
void sendRestartTrigger();

// Empties the port's receive and send queues.
void flushQueues();

// Reads an answer as the boards write numbers (decimal, "0x" hexadecimal, leading "0" octal) and
// keeps its low 16 bits; text without digits reads as 0.
uint16_t answerLow16(std::string_view answer);

// Two upper-case hex digits per byte, high nibble first.
void appendHex(std::string& out, const uint8_t* bytes, size_t count);

// `steps` pauses of 200 ms; after step i the progress is i * 100 / steps.
void waitSteps(int steps);

// One's complement of a byte sum, reduced to 16 bits.
inline uint16_t onesComplement16(uint64_t sum) { return static_cast<uint16_t>(~sum & 0xFFFF); }

// Percentage done when `remaining` of `count` blocks are left; a last flash sector that reaches
// past the range counts as 100, not more.
inline int progressBefore(int64_t remaining, int64_t count) {
    return std::min(100, percentDone(remaining, count));
}

}  // namespace quorlink::processor
