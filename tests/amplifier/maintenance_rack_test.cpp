// Maintenance commands and the EEPROM upload against the simulated rack: the modules' settings
// afterwards, and the ".eep" files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "amplifier_rack.h"
#include "link/amplifier/maintenance.h"
#include "link/quorlink.h"
#include "rack/amplifier/protocol_fields.h"

using namespace testing_support;

namespace {

class MaintenanceRackTest : public AmplifierRackTest {
protected:
    void SetUp() override {
        start({{{"slot", 1}, {"kind", "RA51"}, {"mode", "1"}, {"subChannels", 4}, {"boards", 2}},
               {{"slot", 4}, {"kind", "RC77"}, {"mode", "0"}, {"subChannels", 4}, {"subChannelsFixed", true},
                {"boards", 1}}});
    }
    static constexpr int32_t kBoth = (1 << 1) | (1 << 4);
};

// Racks answer the queries every selected module answers ("MCF?", "SPS?0") joined with ":" on one
// line or one line per module, or refuse them with one "?"; each form is read completely, and
// nothing is left for later.
class ModuleAnswersTest : public MaintenanceRackTest,
                          public ::testing::WithParamInterface<rack::ModuleAnswers> {
protected:
    void SetUp() override {
        MaintenanceRackTest::SetUp();
        rack().setModuleAnswers(GetParam());
    }
};

INSTANTIATE_TEST_SUITE_P(Forms, ModuleAnswersTest,
                         ::testing::Values(rack::ModuleAnswers::Usual, rack::ModuleAnswers::Joined,
                                           rack::ModuleAnswers::Lines));

TEST_P(ModuleAnswersTest, ModeChangeReachesEveryModuleAndRefusesAnEmptySlot) {
    EXPECT_EQ(ChangeRcRaMode(6000, 0, recordMessage, recordProgress, kBoth, 1), 0);
    EXPECT_EQ(module(1).config().mode, '1');
    EXPECT_EQ(module(4).config().mode, '1');
    EXPECT_EQ(lastMessage(), "Some amplifiers are in this mode. Continue.");
    EXPECT_EQ(reports.progress,
              (std::vector<int>{10, 20, 30, 40, 50, 65, 70, 75, 80, 85, 90, 95, 100}));

    EXPECT_EQ(ChangeRcRaMode(6000, 0, recordMessage, recordProgress, 1 << 2, 1), -1);
    EXPECT_EQ(lastMessage(), "Amplifier not selectable!");

    // A lone "?" refuses the query for every module: no further line is awaited.
    rack().faults().add({"^MCF\\?$", 2, rack::FaultAction::Question});
    EXPECT_EQ(ChangeRcRaMode(6000, 0, recordMessage, recordProgress, kBoth, 0), -5);
    EXPECT_EQ(lastMessage(), "Error: Not all amplifiers are selectable!");
}

// The count changes after the reset; a module keeping its count is only a warning for variant 2.
TEST_P(ModuleAnswersTest, SubChannelCountChangesAfterTheReset) {
    EXPECT_EQ(ChangeSubChanRA51(6000, 0, recordMessage, recordProgress, 1 << 1, 2, 4, 0), 0);
    EXPECT_EQ(identifySlot(1).subChannels, 2);
    EXPECT_EQ(reports.progress.front(), 10);
    EXPECT_EQ(reports.progress.back(), 100);

    EXPECT_EQ(ChangeSubChanRA51(6000, 0, recordMessage, recordProgress, kBoth, 2, 4, 2), -6);
    EXPECT_EQ(lastMessage(),
              "Warning: Not all amplifiers are changed! Could be okay if you use JB6xx.");
    EXPECT_EQ(identifySlot(1).subChannels, 2);
    EXPECT_EQ(identifySlot(4).subChannels, 4);
}

// Names cleared on every sub-channel; the CAN database deleted, its time-outs ignored after
// pauses; a damaged loader 1 rebuilt.
TEST_F(MaintenanceRackTest, NamesAndCanDatabaseAreCleared) {
    EXPECT_EQ(ClearUccs(6000, 0, recordMessage, recordProgress, kBoth), 0);
    for (int slot : {1, 4})
        for (const auto& name : module(slot).channelNames()) EXPECT_EQ(name, "");
    EXPECT_EQ(DeleteRA51CanDataBase(6000, 0, recordMessage, recordProgress, 1 << 1), 0);
    EXPECT_FALSE(module(1).canDatabasePart(1));
    EXPECT_FALSE(module(1).canDatabasePart(2));
    EXPECT_TRUE(module(4).canDatabasePart(1));
    EXPECT_TRUE(reports.messages.empty());

    rack().faults().add({"^DBA", 0, rack::FaultAction::Drop});
    clock.clearWaits();
    EXPECT_EQ(DeleteRA51CanDataBase(6000, 0, recordMessage, recordProgress, 1 << 1), 0);
    const auto waits = clock.waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 8000), 2);
    EXPECT_EQ(lastMessage(), "Port Timeout! Try to ignore.");

    reports.clear();
    module(4).damageLoader1();
    EXPECT_EQ(ResetLoader1(6000, 0, recordMessage, recordProgress, 5, 0x10), 0);
    EXPECT_FALSE(module(4).loader1Damaged());
    EXPECT_TRUE(reports.messages.empty());
}

// One ".eep" file per board; a short answer leaves none.
TEST_F(MaintenanceRackTest, EepromOfEachBoardGoesIntoItsFile) {
    const std::string prefix = (directory / "slot2").string();
    EXPECT_EQ(UpLoadRAEEPROM(6000, 1, recordMessage, recordProgress, prefix.c_str()), 0);
    for (int board = 1; board <= 2; ++board) {
        std::string expected = "QTX JB6xx/JB9xx EEPROM data\r\nV1\r\nSNR " +
                               module(1).config().boards[static_cast<size_t>(board - 1)].serialNumber +
                               "\r\n-- \r\n";
        const auto& eeprom = module(1).config().boards[static_cast<size_t>(board - 1)].eeprom;
        for (size_t i = 0; i < 32; ++i)
            expected += rack::amplifier::encodeHex({eeprom.begin() + static_cast<long>(i * 64),
                                                    eeprom.begin() + static_cast<long>(i * 64 + 64)}) + "\r\n";
        EXPECT_EQ(readFile(prefix + "_JB" + std::to_string(board) + ".eep"), expected) << "board " << board;
    }
    EXPECT_EQ(reports.progress.back(), 12);

    const std::string single = (directory / "slot5").string();
    EXPECT_EQ(UpLoadRAEEPROM(6000, 4, recordMessage, recordProgress, single.c_str()), 0);
    EXPECT_TRUE(std::filesystem::exists(single + "_JB1.eep"));
    EXPECT_FALSE(std::filesystem::exists(single + "_JB2.eep"));

    rack().faults().add({"^PRG\\?750,12352$", 1, rack::FaultAction::Question});
    const std::string shortened = (directory / "short").string();
    EXPECT_EQ(UpLoadRAEEPROM(6000, 1, recordMessage, recordProgress, shortened.c_str()), -6);
    EXPECT_EQ(lastMessage(), "Amplifier did not answer correctly!");
    EXPECT_FALSE(std::filesystem::exists(shortened + "_JB1.eep"));
    EXPECT_FALSE(std::filesystem::exists(shortened + "_JB1.eep.part"));
}

TEST(MaintenanceParsing, ModeEntriesAndSubChannelCounts) {
    using namespace quorlink::amplifier;
    EXPECT_EQ(modeEntries("1:1:?"), (std::vector<char>{'1', '1', '?'}));
    EXPECT_EQ(modeEntries("2"), (std::vector<char>{'2'}));
    EXPECT_EQ(modeEntries("2,1"), (std::vector<char>{'2'}));
    EXPECT_EQ(subChannelCounts("2,1,4:5,1,2"), (std::vector<int>{2, 4}));
    EXPECT_EQ(subChannelCounts("3,1,4"), (std::vector<int>{4}));
    EXPECT_EQ(subChannelCounts("1,1,8\n2,1,8"), (std::vector<int>{8, 8}));
    EXPECT_EQ(modeEntries("1\n0\n?"), (std::vector<char>{'1', '0', '?'}));
}

TEST_F(AmplifierRackTest, ModuleWithoutExternalFlashUploadsItsInternalFlashOnly) {
    auto slot = slotOfType(2, 2);
    slot["externalFlash"] = false;
    start({slot});
    auto files = writeFirmware(2);
    files.firmware.application.pop_back();  // no external data either
    std::ofstream(files.application) << fwgen::toIntelHex(files.firmware.application);
    ASSERT_EQ(download(files, 1u << 2), 0);
    ASSERT_EQ(enterLoader2(files, 1u << 2), 0);
    const auto path = directory / "internal.bi0";
    EXPECT_EQ(UpLoadRAFlash(6000, 2, 0, recordMessage, recordProgress, path.c_str(), 0, 0, 2, 4, 0), 0);
    EXPECT_EQ(std::filesystem::file_size(path), 1024u * 128u);
    EXPECT_FALSE(std::filesystem::exists(directory / "internal.bi1"));
    EXPECT_EQ(rack().received().back(), "PRC1,7,U03000032");
}

}  // namespace
