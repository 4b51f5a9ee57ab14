// The amplifier download driver against the simulated rack: what it sends, what the rack holds
// afterwards, its questions, refusals, messages and protocol.
#include "operator/drivers/amplifier_download.h"

#include <QFile>
#include <algorithm>

#include "driver_fixture.h"
#include "operator/drivers/menu_commands.h"
#include "rack/panel/dv_panel.h"

using namespace quorvel;

namespace operator_tests {
namespace {

constexpr int kRa51 = 2;
const QString kFinished = "Download finished!";

class AmplifierDownloadTest : public DriverTest {
  protected:
    int download(std::vector<int> amplifierSlots) {
        context->selection.amplifierSlots = std::move(amplifierSlots);
        return dispatcher->dispatch(menu::kDownload);
    }
};

TEST_F(AmplifierDownloadTest, TwoSlotsGetTheNewFirmwareAndTheRescanShowsIt) {
    startWith(rackOf({amplifierSlot(1, kRa51, "P2.04"), amplifierSlot(4, kRa51, "P2.04")}));
    ui.expectList(0).expectMessage(kFinished);
    ASSERT_EQ(download({1, 4}), 0);

    EXPECT_EQ(ui.lists.front().rows.front().front(), "RA51P207.S00");
    const auto written = firmware(kRa51);
    EXPECT_TRUE(holdsFirmware(1, written));
    EXPECT_TRUE(holdsFirmware(4, written));
    // The highest slot closes each activation (before and after the download) with 0xFF, the
    // other gets 0x55.
    EXPECT_EQ(rackReceived("PRC1,2,A021055"), 2u);
    EXPECT_EQ(rackReceived("PRC1,2,A0510FF"), 2u);
    EXPECT_EQ(rackReceived("PRC1,2,A0210FF"), 0u);
    // The panel was switched off the bus for the download and is back on it.
    EXPECT_GE(rackReceived("PRC1,1"), 1u);
    EXPECT_FALSE(dynamic_cast<rack::panel::DvPanel&>(*rack().panel()).switchedOut());
    EXPECT_EQ(ui.statuses.back(), kFinished);
    EXPECT_EQ(ui.lockChanges, (std::vector<bool>{false, true, false, true}));  // scan, download
    EXPECT_FALSE(ui.progressVisible);
    const QStringList log = protocol();
    for (const char* line :
         {"-->Download RAxx.<--", "-->Download RA().<--", "DownloadType : 0", "Activate Only: 0",
          "Switch RA 2 to loader1.", "Switch RA 5 to loader1.", "Starting loader2 in slot 5.",
          "Starting new firmware RA 2.", "Download loader2.", "-->Download finished.<--"}) {
        EXPECT_TRUE(log.contains(line)) << line;
    }
    rescan();
    EXPECT_EQ(record(1).SoftwareVersion, "P2.07");
    EXPECT_EQ(record(4).SoftwareVersion, "P2.07");
}

// With the sequential option each module runs every phase alone: the rack sees the first
// module's whole sequence before the second is addressed, and each activation is its own last.
TEST_F(AmplifierDownloadTest, SequentialModeLoadsOneSlotAfterTheOther) {
    startWith(rackOf({amplifierSlot(1, kRa51, "P2.04"), amplifierSlot(4, kRa51, "P2.04")}));
    shell->state().SequentialDownload = true;
    ui.expectList(0).expectMessage(kFinished);
    ASSERT_EQ(download({1, 4}), 0);

    EXPECT_TRUE(holdsFirmware(1, firmware(kRa51)));
    EXPECT_TRUE(holdsFirmware(4, firmware(kRa51)));
    EXPECT_EQ(rackReceived("PRC1,2,A021055"), 0u);
    EXPECT_EQ(rackReceived("PRC1,2,A0210FF"), 2u);
    EXPECT_EQ(rackReceived("PRC1,2,A0510FF"), 2u);
    const auto& received = rack().received();
    const auto addresses = [](const std::string& slot) {
        return [slot](const std::string& line) { return line.starts_with("PRC1,2,A" + slot); };
    };
    const auto lastOfFirst = std::find_if(received.rbegin(), received.rend(), addresses("02"));
    const auto firstOfSecond = std::find_if(received.begin(), received.end(), addresses("05"));
    ASSERT_NE(firstOfSecond, received.end());
    EXPECT_LT(lastOfFirst.base() - received.begin(), firstOfSecond - received.begin());
    const QStringList log = protocol();
    EXPECT_LT(log.indexOf("Starting new firmware RA 2."), log.indexOf("Switch RA 5 to loader1."));
}

// Answered No, the question sends nothing; answered Yes, exactly the databases of the modules
// whose firmware drops them are deleted.
TEST_F(AmplifierDownloadTest, CanSettingsQuestion) {
    startWith(rackOf({amplifierSlot(0, kRa51, "P2.06"), amplifierSlot(2, kRa51, "P2.04")}));
    const QString question =
        "\rATTENTION:RA51 will lose its CAN settings\rin firmware update!\rAre you sure to "
        "continue?";
    const size_t before = rack().received().size();
    ui.expectList(0).expectMessage(question, kAnswerNo).expectMessage("Firmware Update canceled!");
    EXPECT_EQ(download({0, 2}), kOperationDeclined);
    EXPECT_EQ(rack().received().size(), before);

    ui.expectList(0).expectMessage(question, kAnswerYes).expectMessage(kFinished);
    ASSERT_EQ(download({0, 2}), 0);
    EXPECT_FALSE(module(0).canDatabasePart(1));
    EXPECT_TRUE(module(2).canDatabasePart(1));
    const QStringList log = protocol();
    EXPECT_TRUE(log.contains("-->Delete RA51 CAN database.<--"));
    EXPECT_TRUE(log.contains("RA51 CAN database deleted."));
}

TEST_F(AmplifierDownloadTest, ProductionModeWithoutLp2FileEndsBeforeConnecting) {
    QFile::remove(downloadFile(firmware(kRa51).loader2Name.substr(0, 12) + ".lp2"));
    startWith(rackOf({amplifierSlot(1, kRa51, "P2.04")}), "P");
    const size_t before = rack().received().size();
    ui.expectList(0).expectMessage(
        "No Loader2 *.lp2 file found for selected firmware!\rYou are in production mode, be sure "
        "that you want that!\rPlease have a look at your firmware files installation.");
    EXPECT_EQ(download({1}), kOperationDeclined);
    EXPECT_EQ(rack().received().size(), before);
}

// A module already in loader 1 is switched with one repeat; a fault mid-download names the slot
// and a rerun recovers.
TEST_F(AmplifierDownloadTest, ModuleInLoader1AndAFaultMidDownloadThatARerunRecovers) {
    auto inLoader1 = amplifierSlot(3, kRa51, "P2.04");
    inLoader1["layer"] = "loader1";
    startWith(rackOf({inLoader1, amplifierSlot(6, kRa51, "P2.04")}));
    ui.expectList(0).expectMessage(kFinished);
    ASSERT_EQ(download({3}), 0);
    EXPECT_TRUE(holdsFirmware(3, firmware(kRa51)));

    rack().faults().add({"^PRC1,2,P", 40, rack::FaultAction::Drop, 0, 1});
    ui.expectList(0).expectMessage("Port Timeout!");
    ui.expectMessage("Download Error in Slot 7 !\r\r" +
                     AdviceLines(AdviceFor("download application", "download")));
    EXPECT_NE(download({6}), 0);
    EXPECT_EQ(ui.statuses.back(), "Error download!");
    EXPECT_FALSE(holdsFirmware(6, firmware(kRa51)));

    // The module waits in its loader; the rerun reaches it there (the library warns once).
    ui.expectList(0)
        .expectMessage("Error getting identstring of Loader 1")
        .expectMessage(kFinished);
    ASSERT_EQ(download({6}), 0);
    EXPECT_TRUE(holdsFirmware(6, firmware(kRa51)));
}

}  // namespace
}  // namespace operator_tests
