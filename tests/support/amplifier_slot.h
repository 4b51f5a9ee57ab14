#pragma once
// The rack-file description of a slot holding the model the test firmware of a firmware type is
// made for: shared by the operator's driver tests and the update benchmark.
#include <nlohmann/json.hpp>
#include <string>

#include "tools/fwgen/amplifier_set.h"

namespace testing_support {

inline nlohmann::json amplifierSlot(int slot, int firmwareType, const std::string& version) {
    const auto& m = fwgen::amplifierModel(firmwareType);
    return {{"slot", slot},
            {"kind", m.kind.empty() ? m.model : m.kind},
            {"model", m.model},
            {"firmwareType", firmwareType},
            {"moduleCode", m.moduleCode},
            {"amtNumber", m.amtNumber},
            {"subChannels", 4},
            {"version", version}};
}

}  // namespace testing_support
