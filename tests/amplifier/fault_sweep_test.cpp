// Faults at every phase of a download (see fault_sweep.h), the way boot loaders are tested
// against power loss: each command kind once within each export call of a clean run. Whatever
// happens, the sequence either reports an error or every module runs the new firmware from a
// flash that holds the whole file; a rerun after reconnecting (and a power cycle) always brings
// the new firmware.
#include <gtest/gtest.h>

#include "amplifier_rack.h"
#include "fault_sweep.h"
#include "link/quorlink.h"

using namespace testing_support;

namespace {

struct Scenario {
    int type;
    uint32_t mask;
    int programMode;
    bool loader1Area;
};

class AmplifierDownloadSweep : public AmplifierRackTest,
                               public FaultSweepFixture,
                               public ::testing::WithParamInterface<Scenario> {
protected:
    void startRack() override {
        std::vector<nlohmann::json> slots;
        for (int c = 0; c < 16; ++c)
            if (GetParam().mask & (1u << c)) slots.push_back(slotOfType(c, GetParam().type));
        start(slots);
    }
    int runLoader() override {
        steps.clear();
        return download(files, GetParam().mask, GetParam().programMode, GetParam().loader1Area);
    }
    // Every channel runs the new application from a flash that holds the whole file.
    bool effectComplete() override {
        for (int c = 0; c < 16; ++c) {
            if (!(GetParam().mask & (1u << c))) continue;
            if (module(c).layer() != rack::amplifier::Layer::Application ||
                identifySlot(c).identity != files.firmware.identity || !holdsFirmware(module(c), files))
                return false;
        }
        return true;
    }
    std::vector<std::pair<size_t, size_t>> phases(size_t) const override {
        std::vector<std::pair<size_t, size_t>> calls;
        for (const auto& step : steps) calls.emplace_back(step.firstLine, step.endLine);
        return calls;
    }
    // "PRC1,2,D" and the like, or the system command's name ("CHS", "SPS").
    std::string commandKind(const std::string& line) const override {
        return line.substr(0, line.starts_with("PRC") ? 8 : 3);
    }
    // Reconnect; a part without power (the processor among them) comes back when the rack is
    // switched off and on.
    void recover(rack::FaultAction action) override {
        if (action == rack::FaultAction::PowerOff) return powerCycle();
        FaultSweepFixture::recover(action);
    }
    std::filesystem::path workFolder() const override { return directory; }
    std::vector<std::filesystem::path> keptFiles() const override {
        return {files.application, files.loader2, files.loader1};
    }

    FirmwareFiles files = writeFirmware(GetParam().type);
};

TEST_P(AmplifierDownloadSweep, FaultSweep) { sweep("amplifier download, type " + std::to_string(GetParam().type)); }

INSTANTIATE_TEST_SUITE_P(
    EveryType, AmplifierDownloadSweep,
    ::testing::Values(Scenario{1, 1u << 3, 0, false}, Scenario{2, (1u << 1) | (1u << 4), 0, true},
                      Scenario{3, 1u << 2, 2, false}, Scenario{4, (1u << 0) | (1u << 6), 2, false}),
    [](const ::testing::TestParamInfo<Scenario>& scenario) {
        return "Type" + std::to_string(scenario.param.type);
    });

}  // namespace
