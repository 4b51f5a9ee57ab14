// Hex digit pairs to bytes and bytes to upper-case hex text.
#include "link/images/block_text.h"
#include "link/images/hex_digits.h"

namespace quorlink {

std::optional<uint8_t> HexPairToByte(char high, char low) {
    const int value = hexPairValue(high, low);
    if (value < 0) return std::nullopt;
    return static_cast<uint8_t>(value);
}

void BytesToHexReversed(std::string& out, const uint8_t* bytes, size_t count) {
    for (size_t i = count; i-- > 0;) appendUpperHex(out, bytes[i]);
}

}  // namespace quorlink
