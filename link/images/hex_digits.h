#pragma once
// Hex digits both ways; values by table lookup, as the readers decode megabytes of hex per image.
#include <array>
#include <cstdint>
#include <string>

namespace quorlink {

constexpr uint8_t kNotHex = 0xFF;

inline constexpr std::array<uint8_t, 256> kHexDigitValues = [] {
    std::array<uint8_t, 256> values{};
    values.fill(kNotHex);
    for (int i = 0; i < 10; ++i) values['0' + i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 6; ++i) {
        values['A' + i] = static_cast<uint8_t>(10 + i);
        values['a' + i] = static_cast<uint8_t>(10 + i);
    }
    return values;
}();

// The pair's byte value, or -1 when either character is not a hex digit.
inline int hexPairValue(char high, char low) {
    const uint8_t h = kHexDigitValues[static_cast<uint8_t>(high)];
    const uint8_t l = kHexDigitValues[static_cast<uint8_t>(low)];
    return h == kNotHex || l == kNotHex ? -1 : h * 16 + l;
}

// Appends the byte as two upper-case hex digits.
inline void appendUpperHex(std::string& out, uint8_t byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
}

}  // namespace quorlink
