#include "link/panel/loader2_file.h"

#include <filesystem>

namespace quorlink::panel {

namespace {

// The path up to its extension; a dot inside a folder name is not an extension.
std::string withoutExtension(const std::string& path) {
    const auto dot = path.rfind('.');
    const auto slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

}  // namespace

std::optional<std::string> findLoader2File(const std::string& firmwarePath) {
    const std::string stem = withoutExtension(firmwarePath);
    for (const char* extension : {".LD2", ".LP2"}) {
        const std::string candidate = stem + extension;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) return candidate;
    }
    return std::nullopt;
}

}  // namespace quorlink::panel
