#pragma once
// Where the panel's loader II lies: next to the firmware file, as ".LD2" or else ".LP2".
#include <optional>
#include <string>

namespace quorlink::panel {

// The firmware path with its extension replaced by ".LD2" when that file exists, else by ".LP2"
// when that exists; nothing when neither does.
std::optional<std::string> findLoader2File(const std::string& firmwarePath);

}  // namespace quorlink::panel
