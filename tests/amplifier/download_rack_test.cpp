// Downloads of every firmware type against the simulated rack: the module's flash afterwards,
// the new identity after the reset, and the flash read back through the upload.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "amplifier_rack.h"
#include "link/quorlink.h"

using namespace testing_support;
using rack::amplifier::Layer;

namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class DownloadRackTest : public AmplifierRackTest, public ::testing::WithParamInterface<int> {
protected:
    void expectFirmwareIn(int slot, const FirmwareFiles& files) {
        EXPECT_TRUE(holdsFirmware(module(slot), files)) << "slot " << slot;
    }
};

TEST_P(DownloadRackTest, OneChannelGetsTheNewFirmwareAndReportsItsVersion) {
    const int type = GetParam();
    start({slotOfType(2, type)});
    const auto files = writeFirmware(type);
    ASSERT_EQ(download(files, 1u << 2), 0) << (reports.messages.empty() ? "" : reports.messages.back().second);
    EXPECT_TRUE(reports.messages.empty()) << reports.messages.front().second;
    expectFirmwareIn(2, files);
    EXPECT_EQ(module(2).layer(), Layer::Application);
    const auto id = identifySlot(2);
    EXPECT_EQ(id.identity, files.firmware.identity);
    EXPECT_EQ(id.identity.substr(id.identity.rfind(',') + 1, 5), files.model.version);
}

TEST_P(DownloadRackTest, TwoChannelsProgramTogether) {
    const int type = GetParam();
    if (type == 1) GTEST_SKIP() << "the older series programs one channel at a time";
    start({slotOfType(2, type), slotOfType(5, type)});
    const auto files = writeFirmware(type);
    ASSERT_EQ(download(files, (1u << 2) | (1u << 5)), 0) << reports.messages.back().second;
    expectFirmwareIn(2, files);
    expectFirmwareIn(5, files);
    EXPECT_EQ(identifySlot(2).identity, files.firmware.identity);
    EXPECT_EQ(identifySlot(5).identity, files.firmware.identity);
    std::set<std::string> addresses;  // every block went out once for both channels
    std::vector<std::string> totals;
    const auto& application = *std::find_if(steps.begin(), steps.end(),
                                            [](const Step& s) { return s.call == "DownApplication"; });
    for (size_t i = application.firstLine; i < application.endLine; ++i) {
        const auto& line = rack().received()[i];
        if (line.starts_with("PRC1,2,B")) {
            EXPECT_TRUE(addresses.insert(line).second) << line;
        }
        if (line.starts_with("PRC1,2,C")) totals.push_back(line);
    }
    EXPECT_EQ(totals, (std::vector<std::string>{"PRC1,2,C06", "PRC1,2,C03"}));
}

TEST_P(DownloadRackTest, UploadReturnsTheProgrammedBytes) {
    const int type = GetParam();
    if (type == 1) GTEST_SKIP() << "the older series has no upload";
    start({slotOfType(1, type)});
    const auto files = writeFirmware(type);
    ASSERT_EQ(download(files, 1u << 1), 0);
    ASSERT_EQ(enterLoader2(files, 1u << 1), 0);
    const std::string path = (directory / "upload.bi0").string();
    ASSERT_EQ(UpLoadRAFlash(6000, 1, 0, recordMessage, recordProgress, path.c_str(), 0, 0, type, 4, 0), 0)
        << reports.messages.back().second;
    const auto internal = readFile(path);
    auto external = readFile(type == 3 ? path : (directory / "upload.bi1").string());
    if (type != 3) {
        EXPECT_EQ(internal.size(), 1024u * 128u);
    }
    EXPECT_TRUE(holdsApplication(internal, external, files));
    EXPECT_EQ(reports.progress.back(), 100);
}

TEST_F(AmplifierRackTest, EraseMarksTheLastChannelAndLoaderTwoStartsFromTheFullImage) {
    start({slotOfType(2, 2), slotOfType(5, 2)});
    const auto files = writeFirmware(2);
    ASSERT_EQ(download(files, (1u << 2) | (1u << 5)), 0);
    std::vector<std::string> erases;
    for (const auto& line : rack().received())
        if (line.starts_with("PRC1,2,L")) erases.push_back(line);
    EXPECT_EQ(erases, (std::vector<std::string>{"PRC1,2,L03105501", "PRC1,2,L03105502", "PRC1,2,L03105503",
                                                "PRC1,2,L06105501", "PRC1,2,L06105502", "PRC1,2,L0610FF03"}));
    const auto& loader2 = *std::find_if(steps.begin(), steps.end(),
                                        [](const Step& s) { return s.call == "DownLoader2"; });
    size_t blocks = 0;
    for (size_t i = loader2.firstLine; i < loader2.endLine; ++i) blocks += rack().received()[i].starts_with("PRC1,2,D");
    EXPECT_EQ(blocks, 66u);
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

INSTANTIATE_TEST_SUITE_P(EveryType, DownloadRackTest, ::testing::Values(1, 2, 3, 4));

}  // namespace
