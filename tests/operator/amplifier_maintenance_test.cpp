// Upload and maintenance drivers against the simulated rack: the files written, the modules'
// settings afterwards, and the refusals that send nothing.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "driver_fixture.h"
#include "operator/drivers/failure_advice.h"
#include "operator/drivers/menu_commands.h"

using namespace quorvel;

namespace operator_tests {
namespace {

constexpr int kRa51Slot = 2;
constexpr int kRa14Slot = 1;
constexpr int kRa77Slot = 3;

// An RA51 module that reports itself as `model`.
nlohmann::json modelSlot(int slot, const std::string& model) {
    auto module = amplifierSlot(slot, kRa51Slot, "P2.07");
    module["model"] = model;
    return module;
}

// Slots (shown 1-16): 2 and 5 RA51, 6 RA14, 7 RA77 with an empty flash, 10 RA80B (RC and RA
// modes), 11 RA50; 3 is empty.
class MaintenanceTest : public DriverTest {
  protected:
    void SetUp() override {
        startWith(rackOf({amplifierSlot(1, kRa51Slot, "P2.07"), amplifierSlot(4, kRa51Slot, "P2.07"),
                          amplifierSlot(5, kRa14Slot, "P1.20"), amplifierSlot(6, kRa77Slot, "P3.10"),
                          modelSlot(9, "RA80B"), modelSlot(10, "RA50")}));
    }
    int run(const char* command, std::vector<int> amplifierSlots) {
        context->selection.amplifierSlots = std::move(amplifierSlots);
        return dispatcher->dispatch(command);
    }
    QString uploadPath(const QString& name) const { return directory.filePath(name); }
};

TEST_F(MaintenanceTest, FlashUploadWritesTheModulesFlashAndItsRefusals) {
    const QString target = uploadPath("slot2.upl");
    module(1).flash().load(true, 0, std::vector<uint8_t>(3 * 128, 0x5A));
    ui.expectSaveFile(target).expectMessage("Upload finished!");
    ASSERT_EQ(run(menu::kUploadAmplifier, {1}), 0);
    EXPECT_EQ(ui.proposedPaths.front().section('/', -1), "RA51_2_P2.07.upl");
    QFile internal(target);
    ASSERT_TRUE(internal.open(QIODevice::ReadOnly));
    const QByteArray bytes = internal.readAll();
    const auto& flash = module(1).flash().internal();
    EXPECT_EQ(bytes.size(), 1024 * 128);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), flash.begin(),
                           [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }));
    const qint64 external = static_cast<qint64>(module(1).flash().externalUsedBlocks()) * 128;
    EXPECT_EQ(external, 3 * 128);
    EXPECT_EQ(QFileInfo(uploadPath("slot2.up1")).size(), external);
    EXPECT_TRUE(protocol().contains("-->Upload RA.<--"));

    const size_t before = rack().received().size();
    ui.expectMessage("Error, more than one channel selected!");
    EXPECT_EQ(run(menu::kUploadAmplifier, {1, 4}), kOperationDeclined);
    QFile::remove(downloadFile(firmware(kRa51Slot).loader2Name));
    QFile::remove(downloadFile(firmware(kRa51Slot).loader2Name.substr(0, 12) + ".lp2"));
    ui.expectMessage(
        "Loader2 file for this device not found!\rMaybe wrong directory setting "
        "(Transfer->Directory...).");
    EXPECT_EQ(run(menu::kUploadAmplifier, {1}), kOperationDeclined);
    EXPECT_EQ(rack().received().size(), before);
}

// The upload's files: a name whose external part would overwrite it is refused, an existing
// companion file is asked for, and an upload that delivers no data fails, keeps the old file and
// leaves no temporary file.
TEST_F(MaintenanceTest, UploadsNeverLoseData) {
    const size_t before = rack().received().size();
    ui.expectSaveFile(uploadPath("slot21"))
        .expectMessage(
            "The external flash is written beside the upload file, under its name with the last "
            "character replaced by \"1\": " +
            uploadPath("slot21") +
            " would receive both.\rChoose a name that does not end in \"1\", for example "
            "slot21.upl.\r" +
            kNothingChanged);
    EXPECT_EQ(run(menu::kUploadAmplifier, {1}), kOperationDeclined);
    QFile companion(uploadPath("kept.up1"));
    ASSERT_TRUE(companion.open(QIODevice::WriteOnly));
    companion.write("older external flash");
    companion.close();
    ui.expectSaveFile(uploadPath("kept.upl"))
        .expectMessage("Replace existing file - " + uploadPath("kept.up1") + " ?", kAnswerNo);
    EXPECT_EQ(run(menu::kUploadAmplifier, {1}), kOperationDeclined);
    EXPECT_EQ(QFileInfo(uploadPath("kept.up1")).size(), 20);
    EXPECT_FALSE(QFileInfo::exists(uploadPath("slot21")));
    EXPECT_EQ(rack().received().size(), before);

    QFile::rename(uploadPath("kept.up1"), uploadPath("ra77.upl"));
    ui.expectSaveFile(uploadPath("ra77.upl"))
        .expectMessage("Replace existing file - " + uploadPath("ra77.upl") + " ?", kAnswerYes)
        .expectMessage("Upload of slot 7 incomplete: " + uploadPath("ra77.upl") +
                       " holds 0 bytes, expected 1 to 4096 blocks of 128.\rNo file was written; "
                       "an older file is kept.")
        .expectMessage("Error upload!\rPlease restart your VTX-System\rand try again!");
    EXPECT_NE(run(menu::kUploadAmplifier, {6}), 0);
    EXPECT_EQ(ui.statuses.back(), "Error upload!");
    EXPECT_EQ(QFileInfo(uploadPath("ra77.upl")).size(), 20);
    EXPECT_EQ(QDir(directory.path()).entryList({"*.partial*"}), QStringList());
}

// Selections a command cannot serve are refused before anything is sent, naming slots and types.
struct Refusal {
    const char* command;
    std::vector<int> amplifierSlots;
    int result;
    std::vector<QString> messages;
};

TEST_F(MaintenanceTest, SelectionsThatCannotBeServedSendNothing) {
    const QString nothing = "\r" + kNothingChanged;
    const Refusal refusals[] = {
        {menu::kSubChannels, {1, 10}, kOperationDeclined,
         {"Change channel count: slots 2 (RA51), 11 (RA50) take different values and commands. "
          "Change one family at a time." + nothing}},
        {menu::kSubChannels, {1, 5}, kNothingToDo,
         {"Change channel count is not available for slot 6 (RA14): only RA50, RA51, RA55, RA56 "
          "and RA901B modules have a sub-channel count." + nothing}},
        {menu::kSwitchToRc, {9, 6}, kNothingToDo,
         {"Switch to RC mode is not available for slot 7 (RA77C): only RA40B, RA80B, RA10407077B "
          "and RA0147B modules run in both modes." + nothing}},
        {menu::kResetLoader1, {2}, kNoDevice,
         {"Reset Loader1: slot 3 holds no module. Scan the rack and choose slots with modules." +
          nothing}},
        {menu::kResetLoader1, {1, 4}, kOperationDeclined,
         {"Reset Loader1 works on one slot at a time; slots 2 (RA51), 5 (RA51) are selected." +
          nothing}},
        {menu::kClearChannelNames, {}, kNothingToDo,
         {"Clear channel names: no amplifier selected." + nothing}},
        {menu::kUploadAmplifier, {5}, kNothingToDo,
         {"Flash upload is not available for slot 6 (RA14): only modules of controller kinds 2, "
          "3 and 4 deliver their flash." + nothing}},
        {menu::kUploadEeprom, {1}, kNothingToDo,
         {"Slot 2 not readable. You'll need a current firmware version!",
          "EEPROM upload: slot 2 (RA51) cannot deliver EEPROM data; update its firmware or leave "
          "it out." + nothing}},
    };
    const size_t before = rack().received().size();
    for (const Refusal& refusal : refusals) {
        for (const QString& message : refusal.messages) ui.expectMessage(message);
        EXPECT_EQ(run(refusal.command, refusal.amplifierSlots), refusal.result)
            << refusal.command;
        ui.verify();
    }
    EXPECT_EQ(rack().received().size(), before);
}

// The sub-channel count asked, checked and changed; channel names cleared, the hidden loader 1
// rebuilt, the mode switch with its rack reset, the rack reset and the interface baud rate, one
// after the other on the same rack.
TEST_F(MaintenanceTest, SubChannelCountAndTheMaintenanceEntriesChangeTheModules) {
    ui.expectInput("Please input new subchannel number for RA5x (8..128):", "7")
        .expectMessage("Please choose a value between 8 and 128!\rPlease try again.")
        .expectInput("Please input new subchannel number for RA5x (8..128):", "128")
        .expectMessage(
            "Maximum subchannels input is 120\rbecause of limit of maximum "
            "256\rsubchannels per Ventrix (KX) !\r\rPlease repeat input!")
        .expectInput("Please input new subchannel number for RA5x (8..128):", "16");
    ASSERT_EQ(run(menu::kSubChannels, {1, 4}), 0);
    EXPECT_EQ(ui.inputDefaults.front(), "8");
    EXPECT_EQ(ui.statuses.back(), "Value changed!");
    EXPECT_EQ(record(1).SubChannelCount, 16);  // identified again before the connection closed
    EXPECT_EQ(record(4).SubChannelCount, 16);

    module(4).setChannelName(0, "strain 1");
    ASSERT_EQ(run(menu::kClearChannelNames, {4}), 0);
    for (const auto& name : module(4).channelNames()) EXPECT_EQ(name, "");
    EXPECT_EQ(ui.statuses.back(), "Channel names cleared!");
    EXPECT_TRUE(protocol().contains("-->Clear UCC.<--"));

    module(4).damageLoader1();
    ASSERT_EQ(run(menu::kResetLoader1, {4}), 0);
    EXPECT_TRUE(module(4).rebuildingLoader1() || !module(4).loader1Damaged());
    EXPECT_EQ(ui.statuses.back(), "Reset Loader1 finished.");

    const char before = module(4).config().mode;
    const size_t resets = rackReceived("RST");
    ASSERT_EQ(run(menu::kSwitchToRa, {9}), 0);
    EXPECT_NE(module(9).config().mode, before);
    EXPECT_EQ(module(4).config().mode, before);
    EXPECT_EQ(rackReceived("RST"), resets + 1);
    EXPECT_EQ(ui.statuses.back(), "Switch finished!");

    SlotRecord& stale = shell->state().Inventory.slotRecords[4];
    stale.Identity = "not detected";  // the reset identifies the restarted modules again
    ASSERT_EQ(run(menu::kResetRack, {}), 0);
    EXPECT_TRUE(stale.Identity.startsWith("QTX-")) << stale.Identity.toStdString();
    EXPECT_EQ(ui.statuses.back(), "Reset VTX finished.");
    EXPECT_FALSE(shell->state().RestartPending);
    // A reset that fails shows its own state and next step, and the tree what answers afterwards:
    // a rack whose answers were lost after the reset answers on a fresh connection, one still
    // starting shows no module rather than what ran before.
    const QString resetFailed = "Error reset system, maybe timeout. \nPlease reset your VTX "
                                "system by switching power off and on.";
    const struct {
        std::vector<int> lostWakeUps;  // which "SRB1" goes unanswered
        int startMs;
        bool identified;
        std::vector<QString> messages;
    } failedResets[] = {{{2, 3}, 1500, true, {"Port Timeout!", resetFailed}},
                        {{}, 60000, false, {resetFailed, "Can't open Ventrix interpreter!"}}};
    for (const auto& reset : failedResets) {
        for (const int lost : reset.lostWakeUps)
            rack().faults().add({"SRB1", lost, rack::FaultAction::Drop, 0, 1});
        rack().timing().resetMs = reset.startMs;
        for (const QString& message : reset.messages) ui.expectMessage(message);
        EXPECT_NE(run(menu::kResetRack, {}), 0);
        ui.verify();
        rack().faults().clear();
        EXPECT_EQ(ui.statuses.back(), "Reset VTX failed!");
        EXPECT_EQ(context->report().advice().nextStep, "Switch the rack off and on, and scan.");
        EXPECT_EQ(stale.Identity.startsWith("QTX-"), reset.identified) << stale.Identity.toStdString();
        clock.advance(std::chrono::seconds(60));
    }
    ui.expectMessage("Internal Baudrate have been succesfully reset to be compatible!");
    ASSERT_EQ(run(menu::kInterfaceBaudRate, {}), 0);
    EXPECT_TRUE(protocol().contains("-->Reset internal baudrate.<--"));
}

}  // namespace
}  // namespace operator_tests
