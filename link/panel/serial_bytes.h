#pragma once
// Raw bytes over the port the bootstrap tool opened.
#include <cstdint>
#include <span>

namespace quorlink::panel {

enum class ByteRead { Received, Timeout, Failed };

struct ReadResult {
    ByteRead status = ByteRead::Failed;
    uint8_t byte = 0;
};

// True when the port took all bytes.
bool writeBytes(std::span<const uint8_t> bytes);
// One byte within the port's time-out.
ReadResult readByte();

}  // namespace quorlink::panel
