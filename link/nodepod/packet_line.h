#pragma once
// The line that carries one 64-byte packet to a node, and the check value of a 256-byte group.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorlink::nodepod {

// "PCH30,<node>,64,"<128 hex digits>"" (without the line end).
std::string packetLine(int32_t nodeId, std::string_view hexDigits);

// Sum of the bytes the hex texts stand for, modulo 256.
uint8_t groupChecksum(const std::vector<std::string>& hexPackets);

}  // namespace quorlink::nodepod
