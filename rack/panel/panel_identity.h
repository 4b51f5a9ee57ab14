#pragma once
// Where panel firmware carries its version: an identity text at a fixed flash address, written
// by the test-firmware tool, read back by the simulated panel for "DID?".
#include <cstddef>
#include <string_view>

namespace rack::panel {

inline constexpr size_t kIdentityAddress = 0x100;
inline constexpr std::string_view kIdentityMarker = "VTXDV:";  // followed by "P4.10"
inline constexpr size_t kVersionLength = 5;

// Loader II starts with "QL2" and the digit of the sector size it programs ('1' 256, '2' 512).
inline constexpr std::string_view kLoaderIIMarker = "QL2";

}  // namespace rack::panel
