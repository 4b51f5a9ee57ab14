#pragma once
// The list of firmware files handed to the KX43 update: every name follows a "#".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlink::processor {

// The first `count` names of `list`; nullopt when one of them is not preceded by "#".
std::optional<std::vector<std::string>> parseFileList(std::string_view list, int count);

}  // namespace quorlink::processor
