// Check-value errors, time-outs and vanishing modules during downloads and uploads: the result
// code and message text the loader gives for each, no temporary image and no partial upload file,
// and a repeated run succeeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "amplifier_rack.h"
#include "link/images/temp_images.h"
#include "link/quorlink.h"

using namespace testing_support;
using rack::FaultAction;
using rack::amplifier::Layer;

namespace {

// Byte sum of block `block` of the type-2 main image (address 0x10000 + 128 * block).
uint8_t sumOfBlock(const FirmwareFiles& files, int block) {
    const uint32_t from = 0x10000 + 128u * static_cast<uint32_t>(block);
    uint8_t sum = 0;
    int covered = 0;
    for (const auto& segment : files.firmware.application)
        for (uint32_t a = from; a < from + 128; ++a)
            if (a >= segment.address && a < segment.address + segment.data.size()) {
                sum = static_cast<uint8_t>(sum + segment.data[a - segment.address]);
                ++covered;
            }
    return static_cast<uint8_t>(sum + (128 - covered) * 0xFF);
}

class DownloadFaultsTest : public AmplifierRackTest {
protected:
    // Runs the download with `rule`; it must fail in DownApplication with `code` and `text`.
    void expectApplicationFailure(int type, rack::FaultRule rule, int code, const std::string& text) {
        start({slotOfType(3, type)});
        files = writeFirmware(type);
        rack().faults().add(rule);
        EXPECT_EQ(download(files, 1u << 3), code);
        ASSERT_FALSE(steps.empty());
        EXPECT_EQ(steps.back().call, "DownApplication");
        ASSERT_FALSE(reports.messages.empty());
        EXPECT_EQ(reports.messages.back(), std::make_pair(0, text));
        EXPECT_EQ(quorlink::TempImageCount(), 0);
    }

    void expectRepeatRecovers() {
        rack().faults().clear();
        steps.clear();
        EXPECT_EQ(download(files, 1u << 3), 0);
        EXPECT_EQ(identifySlot(3).identity, files.firmware.identity);
    }

    FirmwareFiles files;
};

// A block whose check failed once is repeated; the vector block 510, which the module keeps, is
// accepted after its two mismatching attempts.
TEST_F(DownloadFaultsTest, OlderSeriesRepeatsAMismatchedBlockAndAcceptsItsVectorBlocks) {
    start({slotOfType(3, 1)});
    files = writeFirmware(1);
    rack().faults().add({"^PRC1,2,P$", 100, FaultAction::Garble});
    EXPECT_EQ(download(files, 1u << 3), 0);
    EXPECT_EQ(identifySlot(3).identity, files.firmware.identity);
    const auto& received = rack().received();
    EXPECT_EQ(std::count(received.begin(), received.end(), "PRC1,2,B0001FE"), 2);
}

TEST_F(DownloadFaultsTest, OlderSeriesFailsOnASecondMismatchOfBlock508) {
    // Blocks 72-507 take one attempt each; block 508's two attempts are the 437th and 438th "P".
    start({slotOfType(3, 1)});
    files = writeFirmware(1);
    rack().faults().add({"^PRC1,2,P$", 437, FaultAction::Garble});
    rack().faults().add({"^PRC1,2,P$", 438, FaultAction::Garble});
    EXPECT_EQ(download(files, 1u << 3), -1);
    EXPECT_EQ(lastMessage(), "Error programming RA-Flash Datablock!");
    EXPECT_EQ(rack().received().back(), "PRC1,2,P");
    EXPECT_EQ(quorlink::TempImageCount(), 0);
    expectRepeatRecovers();
}

// A "?" where the check value comes: its line is read whole, so a repeat works at once.
TEST_F(DownloadFaultsTest, WrongCheckValueEndsTheDownloadWithTheBlockAndBothValues) {
    const auto expected = static_cast<uint8_t>(-sumOfBlock(writeFirmware(2), 0x4A));
    char text[120];
    std::snprintf(text, sizeof text,
                  "Error programming RA-Flash Datablock!\nBlocknumber:   4A\nExpected: %2X\nReceived: 3F", expected);
    expectApplicationFailure(2, {"^PRC1,2,P$", 11, FaultAction::Question}, -1, text);
    expectRepeatRecovers();  // on the same connection: the refusal's line feed was read with it
}

// A repeat after the failure (and the power cycle the messages ask for) brings the firmware.
TEST_F(DownloadFaultsTest, FailuresInTheApplicationDownloadAndTheRepeatThatRecovers) {
    const struct {
        int type;
        rack::FaultRule rule;
        int code;
        const char* text;
        Layer leftIn;  // after the failure; loader 1 once the rack was reset
    } cases[] = {
        {2, {"^PRC1,2,P$", 480, FaultAction::Drop}, -1, "Port Timeout!", Layer::Loader2},
        {3, {"^PRC1,2,F$", 100, FaultAction::PowerOff}, -1, "Port Timeout!", Layer::Loader1},
        {3, {"^PRC1,2,H04205505$", 1, FaultAction::Question}, -2, "Error erasing bank 05 of RA-channel 04, \nError 3F.",
         Layer::Loader2},
        {4, {"^PRC1,2,C04$", 1, FaultAction::Garble}, -1, "Checksum Error RA-Flash Channel 04", Layer::Loader2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        expectApplicationFailure(c.type, c.rule, c.code, c.text);
        if (c.rule.action == FaultAction::PowerOff) {
            EXPECT_FALSE(module(3).powered());
            ASSERT_EQ(ResetVTX(recordMessage, recordProgress, 4), 0);  // loader 2 lost its power
        }
        EXPECT_EQ(module(3).layer(), c.leftIn);
        expectRepeatRecovers();
    }
}

// One module in loader 2 with the type-2 firmware; the upload faults one after another: no
// partial file, a completed internal file kept, an earlier file of the same name kept.
TEST_F(AmplifierRackTest, UploadFaultsLeaveNoPartialFileAndKeepCompletedOnes) {
    start({slotOfType(1, 2)});
    const auto files = writeFirmware(2);
    ASSERT_EQ(download(files, 1u << 1), 0);
    ASSERT_EQ(enterLoader2(files, 1u << 1), 0);
    const auto path = directory / "flash.bi0";
    const auto upload = [&](rack::FaultRule fault, int externalOnly = 0) {
        rack().faults().clear();
        if (!fault.pattern.empty()) rack().faults().add(fault);
        return UpLoadRAFlash(6000, 1, 0, recordMessage, recordProgress, path.c_str(), 0, 0, 2, 4, externalOnly);
    };
    const auto leftovers = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(directory))
            if (entry.path().filename().string().starts_with("flash")) return true;
        return false;
    };
    EXPECT_EQ(upload({"^PRC1,7,U020200", 1, FaultAction::Drop}), -1);
    EXPECT_EQ(lastMessage(), "Port Timeout!");
    EXPECT_FALSE(leftovers());

    EXPECT_EQ(upload({"^PRC1,7,U02001089$", 1, FaultAction::Garble}), -1);  // "5x..." -> still hex
    EXPECT_TRUE(lastMessage() == "Error in checksum!" ||
                lastMessage() == "Error in internal communication!");
    EXPECT_FALSE(leftovers());

    EXPECT_EQ(upload({"^PRC1,7,U02000532$", 1, FaultAction::Question}), -1);
    EXPECT_EQ(lastMessage(), "External flash in this loader2 not accessible!");
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(directory / "flash.bi1"));
    EXPECT_FALSE(std::filesystem::exists(directory / "flash.bi1.part"));

    std::filesystem::remove(path);
    EXPECT_EQ(upload({}, 1), 0);
    EXPECT_EQ(std::filesystem::file_size(path), 0x3000u);  // the external data the module holds
    EXPECT_FALSE(std::filesystem::exists(directory / "flash.bi1"));

    ASSERT_EQ(upload({}), 0);
    const auto before = std::filesystem::file_size(path);
    EXPECT_EQ(upload({"^PRC1,7,U020300", 1, FaultAction::Drop}), -1);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), before);
}

}  // namespace
