#include "rack/processor/firmware_version.h"

#include <cctype>

namespace rack {

namespace {
constexpr std::string_view kMarker = "VERSION=";
constexpr size_t kVersionLength = 5;  // "P" digit "." two digits
}  // namespace

std::optional<std::string> embeddedVersion(std::string_view firmware) {
    const size_t at = firmware.find(kMarker);
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view version = firmware.substr(at + kMarker.size(), kVersionLength);
    if (version.size() != kVersionLength || version[0] != 'P' || version[2] != '.' ||
        !std::isdigit(static_cast<unsigned char>(version[1])) ||
        !std::isdigit(static_cast<unsigned char>(version[3])) ||
        !std::isdigit(static_cast<unsigned char>(version[4])))
        return std::nullopt;
    return std::string(version);
}

std::string identityWithVersion(const std::string& identity, const std::string& version) {
    const size_t comma = identity.rfind(',');
    return (comma == std::string::npos ? identity + "," : identity.substr(0, comma + 1)) + version;
}

}  // namespace rack
