// Faults at every phase of a download (the way boot loaders are tested against power loss): the
// fault kinds in turn at the first, middle or last command of each kind in each call. Whatever
// happens, the sequence either reports an error (and leaves no temporary image) or the module runs
// the new firmware from a flash that holds the whole file; a rerun after reconnecting (and a power
// cycle) always brings the new firmware.
// QUORVEL_SWEEP=full puts every fault kind at every command.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "amplifier_rack.h"
#include "fault_sweep.h"
#include "link/images/temp_images.h"
#include "link/quorlink.h"

using namespace testing_support;
using rack::FaultAction;

namespace {

constexpr FaultAction kActions[] = {FaultAction::Drop,     FaultAction::Garble, FaultAction::Delay,
                                    FaultAction::Question, FaultAction::Close,  FaultAction::PowerOff};
constexpr const char* kActionNames[] = {"drop", "garble", "delay", "question", "close", "power off"};

struct FaultPoint {
    size_t line;
    size_t action;
};

struct Scenario {
    int type;
    uint32_t mask;
    int programMode;
    bool loader1Area;
};

// Lines of the rack's own interpreter are not the amplifiers' business.
bool sweepable(const std::string& line) {
    return line != "RST" && line != "SRB1" && line != "DCL" && line != "IDN?";
}

std::string commandKind(const std::string& line) {
    const size_t length = line.starts_with("PRC") ? 8 : 3;
    return line.substr(0, std::min(length, line.size()));
}

std::string escaped(const std::string& line) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(line, special, R"(\$&)");
}

class FaultSweepTest : public AmplifierRackTest, public ::testing::WithParamInterface<Scenario> {
protected:
    std::vector<nlohmann::json> slots() const {
        std::vector<nlohmann::json> list;
        for (int c = 0; c < 16; ++c)
            if (GetParam().mask & (1u << c)) list.push_back(slotOfType(c, GetParam().type));
        return list;
    }

    int run(const FirmwareFiles& files) {
        steps.clear();
        const auto& s = GetParam();
        return download(files, s.mask, s.programMode, s.loader1Area);
    }

    // Without QUORVEL_SWEEP=full: one command of each kind within each call of a clean run,
    // taking the first, middle and last in turn, with the fault kinds in turn.
    std::vector<FaultPoint> points(const std::vector<std::string>& lines) {
        std::vector<FaultPoint> chosen;
        if (fullSweep()) {
            for (size_t i = 0; i < lines.size(); ++i)
                for (size_t a = 0; a < std::size(kActions) && sweepable(lines[i]); ++a) chosen.push_back({i, a});
            return chosen;
        }
        size_t rotation = 0;
        for (const auto& step : steps) {
            std::map<std::string, std::vector<size_t>> kinds;
            for (size_t i = step.firstLine; i < step.endLine; ++i)
                if (sweepable(lines[i])) kinds[commandKind(lines[i])].push_back(i);
            for (const auto& [kind, at] : kinds) {
                const size_t picks[] = {0, at.size() / 2, at.size() - 1};
                // the picks and the fault kinds turn at different rates, so every pairing occurs
                const size_t pick = (rotation + rotation / std::size(kActions)) % 3;
                chosen.push_back({at[picks[pick]], rotation % std::size(kActions)});
                ++rotation;
            }
        }
        return chosen;
    }

    // Every channel runs the new application from a flash that holds the whole file.
    bool holdsNewFirmware(const FirmwareFiles& files) {
        for (int c = 0; c < 16; ++c) {
            if (!(GetParam().mask & (1u << c))) continue;
            if (module(c).layer() != rack::amplifier::Layer::Application ||
                identifySlot(c).identity != files.firmware.identity || !holdsFirmware(module(c), files))
                return false;
        }
        return true;
    }
};

TEST_P(FaultSweepTest, EveryFaultEndsInAnErrorOrTheNewFirmwareAndARerunRecovers) {
    // the firmware folder is removed whole: it must not sit below a folder named after the suite
    EXPECT_EQ(directory.parent_path(), std::filesystem::temp_directory_path());
    start(slots());
    const auto files = writeFirmware(GetParam().type);
    ASSERT_EQ(run(files), 0) << reports.messages.back().second;
    const std::vector<std::string> lines = rack().received();
    const auto chosen = points(lines);
    ASSERT_FALSE(chosen.empty());
    SweepTally tally;
    for (const auto& point : chosen) {
        const std::string& line = lines[point.line];
        SCOPED_TRACE(std::string(kActionNames[point.action]) + " at line " + std::to_string(point.line) +
                     ": " + line.substr(0, 40));
        start(slots());
        reports.clear();
        const int occurrence = static_cast<int>(std::count(lines.begin(), lines.begin() + static_cast<long>(point.line) + 1, line));
        rack().faults().add({"^" + escaped(line) + "$", occurrence, kActions[point.action], 7000, 1});
        const int result = run(files);
        ++tally.runs;
        EXPECT_EQ(quorlink::TempImageCount(), 0);
        if (result == 0) {
            // the fault did not matter; success must then be true
            if (!holdsNewFirmware(files)) {
                ++tally.falseSuccesses;
                ADD_FAILURE() << "success reported, but a module does not hold the new firmware";
            }
            continue;
        }
        ++tally.detected;
        ASSERT_FALSE(reports.messages.empty()) << "result " << result << " without a message";
        EXPECT_EQ(reports.messages.back().first, 0);
        rack().faults().clear();
        CloseConnection();
        // a part without power (the processor among them) comes back when the rack is switched
        // off and on
        if (kActions[point.action] == FaultAction::PowerOff) {
            rack().reset();
            clock.advance(std::chrono::seconds(30));
        }
        ASSERT_EQ(open(), 0);
        reports.clear();
        ASSERT_EQ(run(files), 0) << "rerun: " << (reports.messages.empty() ? "" : reports.messages.back().second);
        if (holdsNewFirmware(files)) ++tally.recovered;
        if (HasFatalFailure() || HasFailure()) break;
    }
    printTally("amplifier download, type " + std::to_string(GetParam().type), tally);
    EXPECT_EQ(tally.recovered, tally.detected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, FaultSweepTest,
    ::testing::Values(Scenario{1, 1u << 3, 0, false}, Scenario{2, (1u << 1) | (1u << 4), 0, true},
                      Scenario{3, 1u << 2, 2, false}, Scenario{4, (1u << 0) | (1u << 6), 2, false}),
    [](const ::testing::TestParamInfo<Scenario>& scenario) {
        return "Type" + std::to_string(scenario.param.type);
    });

}  // namespace
