#include "fault_sweep.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>

#include "link/images/temp_images.h"
#include "link/quorlink.h"

namespace testing_support {

namespace {

using rack::FaultAction;

constexpr int kDelayPastTimeOutMs = 7000;

std::string escaped(const std::string& line) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(line, special, R"(\$&)");
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

const char* actionName(FaultAction action) {
    constexpr const char* kNames[] = {"drop", "garble", "delay", "question", "close", "power off"};
    return kNames[static_cast<int>(action)];
}

void printTally(const std::string& loader, const SweepTally& tally) {
    std::printf("%-32s runs %5d  detected %5d  false successes %3d  recovered %5d\n",
                loader.c_str(), tally.runs, tally.detected, tally.falseSuccesses, tally.recovered);
}

bool fullSweep() {
    const char* sweep = std::getenv("QUORVEL_SWEEP");
    return sweep && std::string(sweep) == "full";
}

bool FaultSweepFixture::sweepable(const std::string& line) const {
    return line != "RST" && line != "SRB1" && line != "DCL" && line != "IDN?";
}

std::vector<FaultSweepFixture::Point> FaultSweepFixture::points(const std::vector<std::string>& lines) const {
    std::vector<Point> chosen;
    if (fullSweep()) {
        for (size_t i = 0; i < lines.size(); ++i)
            for (const FaultAction action : kSweepActions)
                if (sweepable(lines[i]) && isFault(lines[i], action)) chosen.push_back({i, action});
        return chosen;
    }
    size_t rotation = 0;
    for (const auto& [first, end] : phases(lines.size())) {
        std::map<std::string, std::vector<size_t>> kinds;
        for (size_t i = first; i < end; ++i)
            if (sweepable(lines[i])) kinds[commandKind(lines[i])].push_back(i);
        for (const auto& [kind, at] : kinds) {
            // first, middle, last in turn; the picks and the fault kinds turn at different rates
            const size_t picks[] = {0, at.size() / 2, at.size() - 1};
            const size_t pick = (rotation + rotation / std::size(kSweepActions)) % 3;
            const FaultAction action = kSweepActions[rotation % std::size(kSweepActions)];
            if (isFault(lines[at[picks[pick]]], action)) chosen.push_back({at[picks[pick]], action});
            ++rotation;
        }
    }
    return chosen;
}

std::vector<std::string> FaultSweepFixture::snapshot(const std::vector<std::filesystem::path>& files) {
    std::vector<std::string> texts;
    for (const auto& path : files) texts.push_back(fileText(path));
    return texts;
}

void FaultSweepFixture::recover(FaultAction action) {
    rack().faults().clear();
    CloseConnection();
    ASSERT_EQ(open(), 0);
    // a component without power comes back with the rack's reset
    if (action == FaultAction::PowerOff) {
        ASSERT_EQ(ResetVTX(recordMessage, recordProgress, 4), 0);
    }
}

void FaultSweepFixture::powerCycle() {
    rack().faults().clear();
    CloseConnection();
    rack().reset();
    clock.advance(std::chrono::seconds(30));
    ASSERT_EQ(open(), 0);
}

void FaultSweepFixture::runPoint(const std::vector<std::string>& lines, const Point& point, SweepTally& tally) {
    const std::string& line = lines[point.line];
    const int occurrence = static_cast<int>(
        std::count(lines.begin(), lines.begin() + static_cast<long>(point.line) + 1, line));
    runWithFault(
        "command " + std::to_string(point.line) + ": " + line.substr(0, 40), point.action,
        [&] {
            rack().faults().add(
                {"^" + escaped(line) + "$", occurrence, point.action, kDelayPastTimeOutMs, 1});
        },
        tally);
}

void FaultSweepFixture::runWithFault(const std::string& where, FaultAction action,
                                     const std::function<void()>& inject, SweepTally& tally) {
    SCOPED_TRACE(std::string(actionName(action)) + " at " + where);
    startRack();
    const auto kept = snapshot(keptFiles());
    const auto keptUnlessDone = snapshot(keptOnFailure());
    const auto folderBefore = std::distance(std::filesystem::directory_iterator(workFolder()), {});
    reports.clear();
    inject();
    const int result = runLoader();
    ++tally.runs;
    EXPECT_EQ(quorlink::TempImageCount(), 0);
    EXPECT_EQ(snapshot(keptFiles()), kept) << "a firmware file changed";
    if (result != 0 && snapshot(keptOnFailure()) != keptUnlessDone) {
        EXPECT_TRUE(replacementComplete()) << "an earlier file was replaced by an incomplete one";
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(workFolder()), {}), folderBefore)
        << "a partial or temporary file was left";
    if (result == 0) {
        if (!effectComplete()) {
            ++tally.falseSuccesses;
            ADD_FAILURE() << "success reported, but the component does not hold the firmware";
        }
        return;
    }
    ++tally.detected;
    ASSERT_FALSE(reports.messages.empty()) << "result " << result << " without a message";
    EXPECT_EQ(reports.messages.back().first, 0) << "the last message is not an error";
    recover(action);
    reports.clear();
    const int rerun = runLoader();
    EXPECT_EQ(rerun, 0) << "rerun: " << lastMessage();
    if (rerun == 0 && effectComplete()) ++tally.recovered;
}

void FaultSweepFixture::finish(const std::string& loader, const SweepTally& tally) {
    printTally(loader, tally);
    EXPECT_EQ(tally.falseSuccesses, 0);
    EXPECT_EQ(tally.recovered, tally.detected);
}

SweepTally FaultSweepFixture::sweep(const std::string& loader) {
    SweepTally tally;
    startRack();
    reports.clear();
    if (runLoader() != 0 || !effectComplete()) {
        ADD_FAILURE() << loader << ": the clean run failed: " << lastMessage();
        return tally;
    }
    for (const auto& [kind, text] : reports.messages) EXPECT_NE(kind, 0) << "the clean run reported " << text;
    const std::vector<std::string> lines = rack().received();
    const auto chosen = points(lines);
    EXPECT_FALSE(chosen.empty());
    for (const auto& point : chosen) {
        runPoint(lines, point, tally);
        if (HasFailure()) break;
    }
    finish(loader, tally);
    return tally;
}

}  // namespace testing_support
