// Hex digit pairs to bytes and bytes to upper-case hex text.
#include "link/images/block_text.h"

namespace quorlink {

namespace {

std::optional<uint8_t> hexDigit(char digit) {
    if (digit >= '0' && digit <= '9') return static_cast<uint8_t>(digit - '0');
    if (digit >= 'A' && digit <= 'F') return static_cast<uint8_t>(digit - 'A' + 10);
    if (digit >= 'a' && digit <= 'f') return static_cast<uint8_t>(digit - 'a' + 10);
    return std::nullopt;
}

constexpr char kUpperDigits[] = "0123456789ABCDEF";

}  // namespace

std::optional<uint8_t> HexPairToByte(char high, char low) {
    const auto h = hexDigit(high);
    const auto l = hexDigit(low);
    if (!h || !l) return std::nullopt;
    return static_cast<uint8_t>(*h * 16 + *l);
}

void BytesToHexReversed(std::string& out, const uint8_t* bytes, size_t count) {
    for (size_t i = count; i-- > 0;) {
        out += kUpperDigits[bytes[i] >> 4];
        out += kUpperDigits[bytes[i] & 0xF];
    }
}

}  // namespace quorlink
