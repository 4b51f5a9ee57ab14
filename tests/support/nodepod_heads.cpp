#include "nodepod_heads.h"

#include <algorithm>
#include <vector>

#include "rack/nodepod/nodepod_firmware.h"

namespace testing_support {

namespace fw = nodepod_firmware;

nlohmann::json nodePodHead(int id, const std::string& hardwareRevision, const std::string& program) {
    return {{"id", id},
            {"type", kNodePodType},
            {"serial", 1000 + id},
            {"hardwareRevision", hardwareRevision},
            {"program", program},
            {"application", {{"name", "NodePod-S"}, {"version", "1.00"}}},
            {"loader1", {{"version", "1.10"}}}};
}

bool flashHoldsApplication(const rack::nodepod::SimulatedNode& head, const fwgen::NodePodSet& set) {
    fw::ApplicationInfo info;
    info.typeNumber = static_cast<uint16_t>(set.type.typeNumber);
    info.name = set.type.name;
    info.version = set.version;
    info.codeSize = set.codeSize;
    std::vector<uint8_t> expected(fw::kLoader1Start - fw::kFlashStart, 0xFF);
    for (const auto& s : fw::buildApplication(info))
        std::copy(s.data.begin(), s.data.end(), expected.begin() + (s.address - fw::kFlashStart));
    return std::equal(expected.begin(), expected.end(), head.flash().at(fw::kFlashStart));
}

}  // namespace testing_support
