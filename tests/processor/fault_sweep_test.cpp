// Faults at every phase of the processor loaders (see fault_sweep.h): the KX33 update and upload,
// and the KX43 update with its establish. Success is the board's flash (or the uploaded file)
// equal to the firmware.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "fault_sweep.h"
#include "link/quorlink.h"
#include "rack/processor/kx33_board.h"
#include "rack/processor/kx43_board.h"
#include "temp_dir.h"
#include "tools/fwgen/processor_firmware.h"

using namespace testing_support;

namespace {

constexpr int kSweepTimeout = 3000;
constexpr int kBlocks = 64;
constexpr int kSweepBlockSize = 512;

class Kx33Sweep : public FaultSweepFixture {
protected:
    Kx33Sweep() {
        const auto image = fwgen::kx33Image("P2.06", kBlocks * kSweepBlockSize, 7);
        imageText.assign(image.begin(), image.end());
        std::ofstream(imagePath, std::ios::binary) << imageText;
    }
    void startRack() override {
        useRack({{"timing", {{"resetMs", 3000}}}, {"processor", {{"kind", "KX33"}, {"version", "P1.10"}, {"restartMs", 6000}}}});
        ASSERT_EQ(open(), 0);
    }
    rack::Kx33Board& board() { return dynamic_cast<rack::Kx33Board&>(*rack().processor()); }
    int update() {
        return UpdateKX33(kSweepTimeout, recordMessage, recordProgress, recordStatus, nullptr, imagePath.c_str(), "000",
                          0, kBlocks, kSweepBlockSize, 0, 0, 0);
    }
    bool flashHoldsImage() { return board().flash().compare(0, imageText.size(), imageText) == 0; }
    // "Restart Ventrix and try again!": the operator switches the rack off and on.
    void recover(rack::FaultAction) override { powerCycle(); }
    std::filesystem::path workFolder() const override { return directory.path(); }
    std::vector<std::filesystem::path> keptFiles() const override { return {imagePath}; }

    TempDir directory;
    std::string imagePath = directory.file("kx33.bin");
    std::string imageText;
};

class Kx33UpdateSweep : public Kx33Sweep {
protected:
    int runLoader() override { return update(); }
    bool effectComplete() override { return flashHoldsImage() && !board().inBootLoader(); }
};

TEST_F(Kx33UpdateSweep, FaultSweep) { sweep("KX33 update"); }

// The board holds the image; the upload replaces an earlier file only when it is complete.
class Kx33UploadSweep : public Kx33Sweep {
protected:
    void startRack() override {
        Kx33Sweep::startRack();
        ASSERT_EQ(update(), 0);
        std::ofstream(uploadPath, std::ios::binary) << "an earlier upload";
    }
    int runLoader() override {
        return UploadKX33(kSweepTimeout, recordMessage, recordProgress, recordStatus, nullptr, uploadPath.c_str(), "", 0,
                          kBlocks, kSweepBlockSize, 0, 0, 0);
    }
    bool effectComplete() override { return readFile(uploadPath) == imageText && !board().inBootLoader(); }
    bool replacementComplete() override { return readFile(uploadPath) == imageText; }
    std::vector<std::filesystem::path> keptOnFailure() const override { return {uploadPath}; }

    std::string uploadPath = directory.file("kx33.upl");
};

TEST_F(Kx33UploadSweep, FaultSweep) { sweep("KX33 upload"); }

// The newer generation keeps its initialisation file and settings: every file arrives as it is.
class Kx43Sweep : public FaultSweepFixture {
protected:
    Kx43Sweep() { fwgen::writeKx43Firmware(directory.path(), "P2.06", 3); }
    void startRack() override {
        useRack({{"timing", {{"resetMs", 3000}}},
                 {"processor", {{"kind", "KX63"}, {"version", "P1.41"}, {"settings", {{"multiClient", "1"}, {"pip1", "3"}}}}}});
        ASSERT_EQ(open(), 0);
        before = board().settings();
    }
    int runLoader() override {
        const auto names = fwgen::kx43FirmwareFiles();
        const std::string list = fwgen::kx43FileList(names);
        if (int r = UpdateKX43(6000, recordMessage, recordProgress, recordStatus, nullptr, directory.path().c_str(),
                               "P2.06", 5, static_cast<int>(names.size()), list.c_str(), 6))
            return r;
        return EstabKX43(6000, recordMessage, recordProgress, recordStatus, nullptr, 6, 5);
    }
    bool effectComplete() override {
        for (const auto& name : fwgen::kx43FirmwareFiles()) {
            const std::string* file = board().flashFiles().find(name);
            if (!file || *file != readFile(directory.path() / name)) return false;
        }
        return !board().inBootLoader() && board().activated() && board().settings() == before;
    }
    // A processor refuses a setting it does not have: that setting is then not written back.
    bool isFault(const std::string& line, rack::FaultAction action) const override {
        static const std::regex settingsQuery("^(PRC\\?(6|7|12|13|21|22|23|30)|PIP\\?|POP\\?|NTP\\?|SNO\\?|ADS\\?|SBR\\?)");
        return action != rack::FaultAction::Question || !std::regex_search(line, settingsQuery);
    }
    // "Please switch your Ventrix off and on again": the boot loader comes up after the power cycle.
    void recover(rack::FaultAction) override { powerCycle(); }
    rack::Kx43Board& board() { return dynamic_cast<rack::Kx43Board&>(*rack().processor()); }
    std::filesystem::path workFolder() const override { return directory.path(); }
    std::vector<std::filesystem::path> keptFiles() const override {
        std::vector<std::filesystem::path> files;
        for (const auto& name : fwgen::kx43FirmwareFiles()) files.push_back(directory.path() / name);
        return files;
    }

    TempDir directory;
    rack::Kx43Settings before;
};

TEST_F(Kx43Sweep, FaultSweep) { sweep("KX43 update and establish"); }

}  // namespace
