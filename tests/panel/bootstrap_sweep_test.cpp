// Faults at every phase of the panel bootstrap through the KX43's pass-through (see
// fault_sweep.h): the rack's fault rules on the command that starts the pass-through, and the
// same fault kinds on every answer that comes back over the line (the processor's identity, the
// controller's identification byte, the block size and each block's header and check
// confirmations); power lost at an answer leaves the bytes that follow it unheard. Success is the
// panel's flash equal to the image built from the firmware files.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <iterator>

#include "fault_sweep.h"
#include "link/images/temp_images.h"
#include "link/quorlink.h"
#include "panel_files.h"
#include "rack/panel/dv_panel.h"
#include "scoped_env.h"
#include "tools/fwgen/panel_firmware.h"

using namespace testing_support;
using rack::FaultAction;
using rack::panel::DvPanel;

namespace {

constexpr auto kPastTimeOut = std::chrono::milliseconds(7000);
constexpr size_t kFreeStart = 0xEE00, kFreeEnd = 0x10000;  // the bootstrap leaves these bytes alone

const char* kTransferConfig =
    "COM = 19200, 8, N, 1\r\n"
    "SERADR = 0x7F000\r\n"
    "REVADR = 0x7F020\r\n"
    "TRANSF = 1\r\n";

// The line between host and rack: spoils the n-th answer that comes back, as the rack's fault
// rules do for command lines (raw bootstrap bytes never pass those).
class SpoiledLine : public linkpad::Peer {
  public:
    explicit SpoiledLine(rack::Rack& rack) : rack_(rack) {}
    // Answers are counted from here.
    void countFromHere() { answers_ = 0; }
    void spoil(size_t answer, FaultAction action) { target_ = {answer, action}; }
    size_t answers() const { return answers_; }

    void fromHost(std::string_view bytes, linkpad::Clock::time_point now) override {
        rack_.fromHost(bytes, now);
    }
    std::optional<linkpad::PeerChunk> peekToHost() override {
        pull();
        if (queue_.empty()) return std::nullopt;
        return queue_.front();
    }
    void popToHost() override {
        if (!queue_.empty()) queue_.pop_front();
    }
    void breakCondition(bool on, linkpad::Clock::time_point now) override {
        rack_.breakCondition(on, now);
    }

  private:
    void pull() {
        while (auto chunk = rack_.peekToHost()) {
            rack_.popToHost();
            if (chunk->hangUp) {
                queue_.push_back(std::move(*chunk));
                continue;
            }
            const bool hit = target_ && answers_ == target_->first;
            ++answers_;
            if (hit && !spoiled(*chunk, target_->second)) continue;
            queue_.push_back(std::move(*chunk));
        }
    }
    // Applies the fault; false when the answer is lost.
    bool spoiled(linkpad::PeerChunk& chunk, FaultAction action) {
        switch (action) {
            case FaultAction::Drop:
                return false;
            case FaultAction::Garble:
                chunk.bytes[0] = static_cast<char>(chunk.bytes[0] ^ 0x5A);
                return true;
            case FaultAction::Delay:
                chunk.readyAt += kPastTimeOut;
                return true;
            case FaultAction::Question:
                chunk.bytes = "?\r\n";
                return true;
            case FaultAction::Close:
                chunk = {chunk.readyAt, {}, true};
                return true;
            case FaultAction::PowerOff:
                owner().setPowered(false);
                return false;
        }
        return true;
    }

    // Until the pass-through starts the answers are the processor's, then the controller's.
    rack::Component& owner() const {
        const auto& lines = rack_.received();
        const bool passing = !lines.empty() && lines.back().starts_with("SYS TRANSF");
        return passing ? *rack_.panel() : *rack_.processor();
    }

    rack::Rack& rack_;
    std::optional<std::pair<size_t, FaultAction>> target_;
    size_t answers_ = 0;
    std::deque<linkpad::PeerChunk> queue_;
};

class BootstrapSweep : public FaultSweepFixture {
  protected:
    BootstrapSweep() {
        files = fwgen::writePanelFirmware(dir.path().string());
        testing_support::writeFile(dir.file("STRAPPER.CFG"), kTransferConfig);
        auto segments = fwgen::panelApplication("P4.10", 0x60000);
        for (auto& segment : fwgen::panelLoaderI()) segments.push_back(segment);
        segments.push_back({0x7F000, {'S', 'N', '-', '7'}});
        segments.push_back({0x7F020, {'C', '3'}});
        image = panel_testing::flatImage(segments, 0x80000);
    }
    void startRack() override {
        useRack({{"processor", {{"kind", "KX43"}}},
                 {"panel",
                  {{"kind", "DV43A"},
                   {"version", "P4.02"},
                   {"bootstrap", true},
                   {"passThrough", true}}},
                 {"timing", {{"resetMs", 3000}}}});
        line = std::make_shared<SpoiledLine>(rack());
        attach(line);
        ASSERT_EQ(open(), 0);
        line->countFromHere();
    }
    int runLoader() override {
        std::string serial = "SN-7", revision = "C3";
        const int result = BootDV(1, dir.file("STRAPPER.CFG").c_str(),
                                  files.largeApplication.c_str(), files.loaderI.c_str(),
                                  serial.data(), revision.data(), recordProgress, recordStatus);
        // the bootstrap tells the operator through its status texts
        if (result != 0 && !reports.statuses.empty())
            reports.messages.emplace_back(0, reports.statuses.back().second);
        return result;
    }
    bool effectComplete() override {
        const auto& flash = dynamic_cast<DvPanel&>(*rack().panel()).flash().bytes();
        return std::equal(image.begin(), image.begin() + kFreeStart, flash.begin()) &&
               std::equal(image.begin() + kFreeEnd, image.end(), flash.begin() + kFreeEnd);
    }
    // Neither the processor nor the controller answers a reset while without power: the operator
    // switches the rack off and on.
    void recover(FaultAction action) override {
        if (action == FaultAction::PowerOff)
            powerCycle();
        else
            FaultSweepFixture::recover(action);
    }
    std::filesystem::path workFolder() const override { return dir.path(); }
    std::vector<std::filesystem::path> keptFiles() const override {
        return {files.largeApplication, files.loaderI, dir.file("STRAPPER.CFG")};
    }

    // Answers of a clean run to spoil: each one (QUORVEL_SWEEP=full), or the opening ones and
    // the first, middle and last block's confirmations, each fault kind in turn.
    std::vector<std::pair<size_t, FaultAction>> answerPoints(size_t answers) const {
        std::vector<std::pair<size_t, FaultAction>> points;
        if (fullSweep()) {
            for (size_t answer = 0; answer < answers; ++answer)
                for (const FaultAction action : kSweepActions) points.push_back({answer, action});
            return points;
        }
        const size_t middle = 3 + (answers - 3) / 2 / 2 * 2;
        const size_t picks[] = {0, 1, 2, 3, 4, middle, middle + 1, answers - 2, answers - 1};
        size_t rotation = 0;
        for (const size_t answer : picks)
            for (int round = 0; round < 2; ++round)
                points.push_back({answer, kSweepActions[rotation++ % std::size(kSweepActions)]});
        return points;
    }

    panel_testing::ScratchDir dir;
    fwgen::PanelFirmwareSet files;
    std::vector<uint8_t> image;
    std::shared_ptr<SpoiledLine> line;
};

// One command with six fault kinds: the sample is the whole sweep.
TEST_F(BootstrapSweep, CommandFaultSweep) {
    ScopedEnv everyPoint("QUORVEL_SWEEP", "full");
    sweep("panel bootstrap, commands");
}

TEST_F(BootstrapSweep, AnswerFaultSweep) {
    startRack();
    ASSERT_EQ(runLoader(), 0);
    ASSERT_TRUE(effectComplete());
    SweepTally tally;
    for (const auto& [answer, action] : answerPoints(line->answers())) {
        runWithFault(
            "answer " + std::to_string(answer), action, [&] { line->spoil(answer, action); },
            tally);
        if (HasFailure()) break;
    }
    finish("panel bootstrap, answers", tally);
}

}  // namespace
