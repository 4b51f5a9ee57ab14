#include "link/panel/serial_bytes.h"

#include <array>

#include "linkpad/linkpad.h"

namespace quorlink::panel {

bool writeBytes(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return true;
    return QTX_WritePortCount(bytes.data(), static_cast<int32_t>(bytes.size())) >= 0;
}

ReadResult readByte() {
    std::array<char, 2> buffer{};  // the port library ends what it delivers with a zero
    int32_t count = 0;
    int32_t status = 0;
    const int32_t result = QTX_ReadPort(buffer.data(), 1, &count, &status, 0);
    if (result == 0 && count == 1) return {ByteRead::Received, static_cast<uint8_t>(buffer[0])};
    if (result == QTX_ERR_TIMEOUT) return {ByteRead::Timeout, 0};
    return {ByteRead::Failed, 0};
}

}  // namespace quorlink::panel
