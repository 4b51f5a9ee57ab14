#pragma once
// Blocks of an image rendered as the upper-case hex text the loaders send.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace quorlink {

// Replaces buffer from `position` on with the block's 128 bytes as 256 hex characters + CR LF.
// Returns how many bytes differ from `fill` (0 = erased block), or -1 when the block cannot be read
// or `position` lies beyond the buffer's end.
int RenderBlock128(std::string& buffer, int block, size_t position, std::FILE* image, uint8_t fill);

// buffer = the 64 bytes of block * 64 as 128 hex characters (no line end); adds the block's 32
// little-endian words to checkTables().wordSum. Returns the count differing from `fill`, or -1.
int RenderBlock64(std::string& buffer, int block, std::FILE* image, uint8_t fill);

std::optional<uint8_t> HexPairToByte(char high, char low);

// Appends the bytes last-first as upper-case hex ("\x12\x34" -> "3412").
void BytesToHexReversed(std::string& out, const uint8_t* bytes, size_t count);

}  // namespace quorlink
