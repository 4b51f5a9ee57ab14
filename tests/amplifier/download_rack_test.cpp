// Downloads of every firmware type against the simulated rack: the module's flash afterwards,
// the new identity after the reset, and the flash read back through the upload.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "amplifier_rack.h"
#include "link/quorlink.h"
#include "rack/panel/dv_panel.h"

using namespace testing_support;

namespace {

std::vector<uint8_t> readBytes(const std::string& path) {
    const std::string bytes = readFile(path);
    return {bytes.begin(), bytes.end()};
}

// The older series (type 1) programs one channel at a time and has no upload; a download of one
// channel of every type is the fault sweep's clean run.
class NewerSeriesRackTest : public AmplifierRackTest, public ::testing::WithParamInterface<int> {
protected:
    void expectFirmwareIn(int slot, const FirmwareFiles& files) {
        EXPECT_TRUE(holdsFirmware(module(slot), files)) << "slot " << slot;
    }
};
TEST_P(NewerSeriesRackTest, TwoChannelsProgramTogether) {
    const int type = GetParam();
    start({slotOfType(2, type), slotOfType(5, type)});
    const auto files = writeFirmware(type);
    ASSERT_EQ(download(files, (1u << 2) | (1u << 5)), 0) << lastMessage();
    expectFirmwareIn(2, files);
    expectFirmwareIn(5, files);
    EXPECT_EQ(identifySlot(2).identity, files.firmware.identity);
    EXPECT_EQ(identifySlot(5).identity, files.firmware.identity);
    // The lines of one export call that start with `prefix`.
    const auto linesOf = [&](const std::string& call, const std::string& prefix) {
        const auto& step = *std::find_if(steps.begin(), steps.end(),
                                         [&](const Step& s) { return s.call == call; });
        std::vector<std::string> lines;
        for (size_t i = step.firstLine; i < step.endLine; ++i)
            if (rack().received()[i].starts_with(prefix)) lines.push_back(rack().received()[i]);
        return lines;
    };
    const auto blocks =
        linesOf("DownApplication", "PRC1,2,B");  // every block once for both channels
    EXPECT_EQ(std::set<std::string>(blocks.begin(), blocks.end()).size(), blocks.size());
    EXPECT_EQ(linesOf("DownApplication", "PRC1,2,C"),
              (std::vector<std::string>{"PRC1,2,C06", "PRC1,2,C03"}));
    // Loader 2 starts from the full image.
    EXPECT_EQ(linesOf("DownLoader2", "PRC1,2,D").size(), 66u);
    // The upload of one of them, back in loader 2, returns the programmed bytes.
    ASSERT_EQ(enterLoader2(files, 1u << 5), 0);
    const std::string path = (directory / "upload.bi0").string();
    ASSERT_EQ(
        UpLoadRAFlash(6000, 5, 0, recordMessage, recordProgress, path.c_str(), 0, 0, type, 4, 0), 0)
        << lastMessage();
    const auto internal = readBytes(path);
    auto external = readBytes(type == 3 ? path : (directory / "upload.bi1").string());
    if (type != 3) {
        EXPECT_EQ(internal.size(), 1024u * 128u);
    }
    EXPECT_TRUE(holdsApplication(internal, external, files));
    EXPECT_EQ(reports.progress.back(), 100);
    if (type != 2) return;  // the erase marks the last channel
    std::vector<std::string> erases;
    for (const auto& line : rack().received())
        if (line.starts_with("PRC1,2,L")) erases.push_back(line);
    EXPECT_EQ(erases, (std::vector<std::string>{"PRC1,2,L03105501", "PRC1,2,L03105502",
                                                "PRC1,2,L03105503", "PRC1,2,L06105501",
                                                "PRC1,2,L06105502", "PRC1,2,L0610FF03"}));
    EXPECT_EQ(module(2).loader2Identity(), "QTX-RA51,RA51-WS050,L2,V2.01");
}

TEST_F(AmplifierRackTest, ExternalDataEndingInsideABlockArrivesWhole) {
    start({slotOfType(2, 2)});
    auto files = writeFirmware(2);
    files.firmware.application[1].data.resize(0x3000 + 0x45, 0x3C);  // a partial last block
    std::ofstream(files.application) << fwgen::toIntelHex(files.firmware.application);
    ASSERT_EQ(download(files, 1u << 2), 0);
    EXPECT_TRUE(holdsFirmware(module(2), files));
}

INSTANTIATE_TEST_SUITE_P(NewerTypes, NewerSeriesRackTest, ::testing::Values(2, 3, 4));

// The panel leaves the bus for the download and comes back with the final start and reset. Its refusals
// only warn, each with its own text; a refused panel start is tried once more, and finishing mode
// 2 (a rack whose panel may not take it) does not warn about it.
struct PanelCase {
    int finishingMode;
    const char* refused;  // the panel command answered "?"
    int refusals;
    int panelStarts;      // "prc2,2,S00010000" sent
    const char* warning;  // "" for none
};

class PanelPathsRackTest : public AmplifierRackTest, public ::testing::WithParamInterface<PanelCase> {};

TEST_P(PanelPathsRackTest, DownloadSucceedsAndThePanelRunsInTheBusAgain) {
    const PanelCase& c = GetParam();
    start({slotOfType(2, 2)});
    if (c.refusals) rack().faults().add({std::string("^") + c.refused + "$", 0, rack::FaultAction::Question, 0, c.refusals});
    finalFinishingMode = c.finishingMode;
    const auto files = writeFirmware(2);
    ASSERT_EQ(download(files, 1u << 2), 0) << lastMessage();
    std::vector<std::string> expected;
    if (*c.warning) expected.push_back(c.warning);
    std::vector<std::string> messages;
    for (const auto& m : reports.messages) messages.push_back(m.second);
    EXPECT_EQ(messages, expected);
    const auto& received = rack().received();
    EXPECT_EQ(std::count(received.begin(), received.end(), "prc2,2,S00010000"), c.panelStarts);
    EXPECT_EQ(std::count(received.begin(), received.end(), "prc2,5"), 1);
    const auto& panel = dynamic_cast<const rack::panel::DvPanel&>(*rack().panel());
    EXPECT_FALSE(panel.switchedOut());
    EXPECT_EQ(panel.layer(), rack::panel::DvPanel::Layer::Application);
    EXPECT_TRUE(holdsFirmware(module(2), files));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PanelPathsRackTest,
    ::testing::Values(PanelCase{2, "", 0, 1, ""}, PanelCase{1, "", 0, 1, ""},
                      PanelCase{1, "prc2,2,S00010000", 1, 2, ""},
                      PanelCase{1, "prc2,2,S00010000", 2, 2,
                                "Can't enable DV! Try to ignore this warning.\nIf you don't use an DV or if you "
                                "use an DV13 ignore this warning."},
                      PanelCase{2, "prc2,2,S00010000", 2, 2, ""},
                      PanelCase{1, "bdr19200,0,1,3", 1, 1, "Error on enable DVxx 1!"},
                      PanelCase{2, "prc2,5", 1, 1, "Error on enable DVxx 3!"}));

}  // namespace
