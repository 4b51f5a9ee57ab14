#pragma once
// Firmware carries its version as "VERSION=" followed by the version text ("P2.06").
#include <optional>
#include <string>
#include <string_view>

namespace rack {

std::optional<std::string> embeddedVersion(std::string_view firmware);

// The identity answer with its last field replaced by `version`.
std::string identityWithVersion(const std::string& identity, const std::string& version);

}  // namespace rack
