#pragma once
// Number and hex fields of the rack's command lines, and the modules' check answers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rack::amplifier {

std::optional<int> parseDecimal(std::string_view digits);
std::optional<int> parseHex(std::string_view digits);
// Pairs of hex digits into bytes; nullopt for an odd length or a character that is not hex.
std::optional<std::vector<uint8_t>> decodeHex(std::string_view text);
std::string encodeHex(const std::vector<uint8_t>& bytes);
// Two raw bytes: the two's complement of the bytes' sum, then a zero byte.
std::string checkAnswer(const std::vector<uint8_t>& bytes);

}  // namespace rack::amplifier
