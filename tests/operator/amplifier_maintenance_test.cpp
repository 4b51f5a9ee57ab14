// Upload and maintenance drivers against the simulated rack: the files written, the modules'
// settings afterwards, and the refusals that send nothing.
#include <QFile>
#include <QFileInfo>

#include "driver_fixture.h"
#include "operator/drivers/menu_commands.h"

using namespace quorvel;

namespace operator_tests {
namespace {

constexpr int kRa51 = 2;
constexpr int kRa14 = 1;

class MaintenanceTest : public DriverTest {
  protected:
    void SetUp() override {
        auto ra14 = amplifierSlot(5, kRa14, "P1.20");
        startWith(
            rackOf({amplifierSlot(1, kRa51, "P2.07"), amplifierSlot(4, kRa51, "P2.07"), ra14}));
    }
    int run(const char* command, std::vector<int> amplifierSlots) {
        context->selection.amplifierSlots = std::move(amplifierSlots);
        return dispatcher->dispatch(command);
    }
    QString uploadPath(const QString& name) const { return directory.filePath(name); }
};

TEST_F(MaintenanceTest, FlashUploadWritesTheModulesFlashAndItsRefusals) {
    const QString target = uploadPath("slot2.upl");
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
    EXPECT_TRUE(QFileInfo::exists(uploadPath("slot2.up1")));
    EXPECT_TRUE(protocol().contains("-->Upload RA.<--"));

    const size_t before = rack().received().size();
    ui.expectMessage("Error, more than one channel selected!");
    EXPECT_EQ(run(menu::kUploadAmplifier, {1, 4}), kOperationDeclined);
    QFile::remove(downloadFile(firmware(kRa51).loader2Name));
    QFile::remove(downloadFile(firmware(kRa51).loader2Name.substr(0, 12) + ".lp2"));
    ui.expectMessage(
        "Loader2 file for this device not found!\rMaybe wrong directory setting "
        "(Transfer->Directory...).");
    EXPECT_EQ(run(menu::kUploadAmplifier, {1}), kOperationDeclined);
    EXPECT_EQ(rack().received().size(), before);

    ui.expectSaveFile(uploadPath("ra14.upl"))
        .expectMessage("This device doesn't support this function!")
        .expectMessage("Error upload!\rPlease restart your VTX-System\rand try again!");
    EXPECT_NE(run(menu::kUploadAmplifier, {5}), 0);
    EXPECT_EQ(ui.statuses.back(), "Error upload!");
}

// The sub-channel count asked, checked and changed; channel names cleared, the hidden loader 1
// rebuilt, the mode switch with its rack reset, the rack reset and the interface baud rate, one
// after the other on the same rack.
TEST_F(MaintenanceTest, SubChannelCountAndTheMaintenanceEntriesChangeTheModules) {
    ui.expectInput("Please input new subchannel number for RA5x (8..128):", "7")
        .expectMessage("Please choose a value between 8 and 128!\rPlease try again.")
        .expectInput("Please input new subchannel number for RA5x (8..128):", "128")
        .expectMessage(
            "Maximum subchannels input is 126\rbecause of limit of maximum "
            "256\rsubchannels per Ventrix (KX) !\r\rPlease repeat input!")
        .expectInput("Please input new subchannel number for RA5x (8..128):", "16");
    ASSERT_EQ(run(menu::kSubChannels, {1, 4}), 0);
    EXPECT_EQ(ui.inputDefaults.front(), "8");
    EXPECT_EQ(ui.statuses.back(), "Value changed!");
    rescan();
    EXPECT_EQ(record(1).SubChannelCount, 16);
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
    ASSERT_EQ(run(menu::kSwitchToRa, {1}), 0);
    EXPECT_NE(module(1).config().mode, before);
    EXPECT_EQ(module(4).config().mode, before);
    EXPECT_EQ(rackReceived("RST"), resets + 1);
    EXPECT_EQ(ui.statuses.back(), "Switch finished!");

    ASSERT_EQ(run(menu::kResetRack, {}), 0);
    EXPECT_EQ(ui.statuses.back(), "Reset VTX finished.");
    EXPECT_FALSE(shell->state().RestartPending);
    ui.expectMessage("Internal Baudrate have been succesfully reset to be compatible!");
    ASSERT_EQ(run(menu::kInterfaceBaudRate, {}), 0);
    EXPECT_TRUE(protocol().contains("-->Reset internal baudrate.<--"));
}

}  // namespace
}  // namespace operator_tests
