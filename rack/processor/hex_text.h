#pragma once
// Hex text as the processor loaders exchange it: two digits a byte, high nibble first.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rack {

// nullopt for an odd length or a character that is not a hex digit (either case).
std::optional<std::string> decodeHex(std::string_view text);
// Upper-case digits.
std::string encodeHex(std::string_view bytes);

}  // namespace rack
