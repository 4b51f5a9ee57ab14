#pragma once
// The rack-file description of a slot holding the model the test firmware of a firmware type is
// made for, and where a module of that type keeps the firmware: shared by the amplifier tests, the
// operator's driver tests and the update benchmark.
#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

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

// Every segment of `application` sits where firmware type `firmwareType` keeps it: in the internal
// memory or the external flash (as the module holds them or an upload wrote them).
inline bool holdsApplication(const std::vector<uint8_t>& internal,
                             const std::vector<uint8_t>& external, int firmwareType,
                             const std::vector<fwgen::Segment>& application) {
    return std::all_of(application.begin(), application.end(), [&](const fwgen::Segment& s) {
        const uint32_t a = s.address;
        const bool inExternal = firmwareType == 3 || (firmwareType == 2 && a >= 0x30000) ||
                                (firmwareType == 4 && a < 0xC00000);
        const uint32_t base = firmwareType == 2   ? (inExternal ? 0x40000 : 0x10000)
                              : firmwareType == 4 ? (inExternal ? 0x480000 : 0xC00000)
                                                  : 0;
        const auto& memory = inExternal ? external : internal;
        const size_t offset = a - base;
        return a >= base && offset + s.data.size() <= memory.size() &&
               std::equal(s.data.begin(), s.data.end(), memory.begin() + static_cast<long>(offset));
    });
}

}  // namespace testing_support
