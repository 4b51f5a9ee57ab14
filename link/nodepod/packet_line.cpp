#include "link/nodepod/packet_line.h"

#include "link/images/block_text.h"
#include "link/nodepod/image_kinds.h"

namespace quorlink::nodepod {

std::string packetLine(int32_t nodeId, std::string_view hexDigits) {
    std::string line =
        "PCH30," + std::to_string(nodeId) + "," + std::to_string(kPacketSize) + ",\"";
    line += hexDigits;
    line += '"';
    return line;
}

uint8_t groupChecksum(const std::vector<std::string>& hexPackets) {
    unsigned sum = 0;
    for (const auto& hex : hexPackets)
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            sum += HexPairToByte(hex[i], hex[i + 1]).value_or(0);
    return static_cast<uint8_t>(sum);
}

}  // namespace quorlink::nodepod
