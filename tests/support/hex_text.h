#pragma once
// Bytes as the upper-case hex text the loaders send.
#include <string>
#include <string_view>

namespace testing_support {

inline std::string upperHex(std::string_view bytes) {
    constexpr const char* kDigits = "0123456789ABCDEF";
    std::string text;
    for (const unsigned char c : bytes) text += {kDigits[c >> 4], kDigits[c & 15]};
    return text;
}

// A 16-bit value as hex text, low byte first.
inline std::string upperHexLowFirst(unsigned value) {
    return upperHex(
        std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)});
}

}  // namespace testing_support
