#pragma once
// Checks that a rack description has the right shape before any component reads it, so that a
// wrong value is reported with its place in the file and what belongs there.
#include <nlohmann/json.hpp>

namespace rack {

// Throws std::invalid_argument naming the field ("slots[1].firmwareType") and what it should
// hold. Keys it does not know are left to the components.
void checkRackShape(const nlohmann::json& description);

}  // namespace rack
