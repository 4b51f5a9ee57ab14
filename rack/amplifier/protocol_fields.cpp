#include "rack/amplifier/protocol_fields.h"

#include <charconv>

#include "rack/amplifier/module_flash.h"

namespace rack::amplifier {

namespace {

std::optional<int> parse(std::string_view digits, int base) {
    int value = 0;
    if (digits.empty() || digits[0] == '-' || digits[0] == '+') return std::nullopt;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<int> parseDecimal(std::string_view digits) { return parse(digits, 10); }
std::optional<int> parseHex(std::string_view digits) { return parse(digits, 16); }

std::optional<std::vector<uint8_t>> decodeHex(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const auto value = parseHex(text.substr(i, 2));
        if (!value) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(*value));
    }
    return bytes;
}

std::string encodeHex(const std::vector<uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

std::string checkAnswer(const std::vector<uint8_t>& bytes) {
    const auto check = static_cast<char>(static_cast<uint8_t>(-byteSum(bytes)));
    return std::string{check, '\0'};
}

}  // namespace rack::amplifier
