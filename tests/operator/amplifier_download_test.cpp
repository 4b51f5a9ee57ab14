// The amplifier download driver against the simulated rack: what it sends, what the rack holds
// afterwards, its questions, refusals, messages and protocol.
#include "operator/drivers/amplifier_download.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <functional>

#include "driver_fixture.h"
#include "operator/drivers/failure_advice.h"
#include "operator/drivers/menu_commands.h"
#include "operator/drivers/verify_step.h"
#include "rack/panel/dv_panel.h"
#include "temp_dir.h"

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
    ui.expectMessage("Download Error in Slot 7 !\r\rSlot 7 now runs: loader 1 V1.02\r" +
                     AdviceLines(AdviceFor(phase::kDownloadApplication, "download")));
    EXPECT_NE(download({6}), 0);
    EXPECT_EQ(ui.statuses.back(), "Error download!");
    EXPECT_FALSE(holdsFirmware(6, firmware(kRa51)));
    // The tree shows the module in its loader without a rescan; the advice is to repeat at once.
    EXPECT_EQ(RunningState(record(6)), "loader 1 V1.02");
    EXPECT_TRUE(AdviceFor(phase::kDownloadApplication)
                    .nextStep.startsWith(
                        "Do not switch the rack off. Start the same download again at once"));

    // The module waits in its loader, as the tree knows; the rerun reaches it there.
    ui.expectList(0).expectMessage(kFinished);
    ASSERT_EQ(download({6}), 0);
    EXPECT_TRUE(holdsFirmware(6, firmware(kRa51)));
}

// The older series' loaders take commands without an address, which the highest module waiting
// in a loader answers: the waiting module goes first. The start leaves out the rack's channel
// check while a module outside the run waits in its loader, which would refuse it.
TEST_F(AmplifierDownloadTest, OlderSeriesWaitingModuleGoesFirstAndNoCheckFailsOnOthers) {
    auto olderSeriesWaiting = amplifierSlot(6, 1, "P1.27");
    olderSeriesWaiting["layer"] = "loader1";
    auto otherWaiting = amplifierSlot(12, kRa51, "P2.04");
    otherWaiting["layer"] = "loader1";
    startWith(rackOf({amplifierSlot(2, 1, "P1.27"), olderSeriesWaiting, otherWaiting}));
    ui.expectList(0).expectMessage(kFinished);
    ASSERT_EQ(download({2, 6}), 0);
    EXPECT_TRUE(holdsFirmware(2, firmware(1)));
    EXPECT_TRUE(holdsFirmware(6, firmware(1)));
    const QStringList log = protocol();
    EXPECT_LT(log.indexOf("Switch RA 7 to loader1."), log.indexOf("Switch RA 3 to loader1."));
    const QJsonArray phases = context->report().toJson()["phases"].toArray();
    const auto start = std::find_if(phases.begin(), phases.end(), [](const QJsonValue& p) {
        return p.toObject()["name"].toString() == phase::kStartApplication;
    });
    ASSERT_NE(start, phases.end());
    EXPECT_TRUE(start->toObject()["details"].toArray().contains(
        QJsonValue("no channel check: slot 13 waits in its loader")));
}

// Every check that can refuse runs before the first byte: the refusal says what to fix and that
// nothing was changed, the rack received nothing, and every module still runs its old firmware.
TEST_F(AmplifierDownloadTest, RefusalsBeforeTheFirstByteChangeNothing) {
    auto olderSeriesWaiting = amplifierSlot(9, 1, "P1.20");
    olderSeriesWaiting["layer"] = "loader1";
    startWith(rackOf({amplifierSlot(0, kRa51, "P2.04"), amplifierSlot(3, 1, "P1.20"),
                      amplifierSlot(4, 3, "P3.10"), olderSeriesWaiting}));
    const QString application = downloadFile(firmware(kRa51).applicationName);
    const QString loader2 = downloadFile(firmware(kRa51).loader2Name);
    // A hex digit of the second record changed: its checksum no longer fits.
    const auto damage = [](const QString& path) {
        std::string text = testing_support::readFile(path.toStdString());
        const size_t second = text.find('\n') + 10;
        text[second] = text[second] == '0' ? '1' : '0';
        testing_support::writeFile(path.toStdString(), text);
    };
    const QString damaged = " is damaged: it is not a complete S-record or Intel HEX file.";
    struct Case {
        std::vector<int> selection;
        std::function<void()> spoil;  // what is wrong in the download directory
        QString problem;
    };
    const Case cases[] = {
        {{0, 4},
         [] {},
         "The selected modules need different firmware: slot 1 RA51, slot 5 RA77C.\rOne download "
         "loads one firmware type. Select modules of one type, or use \"Update all RA "
         "Amplifiers\" (quorvel-cli update-all) for a rack of mixed types."},
        {{3, 4},
         [] {},
         "The selected modules need different firmware: slot 4 RA14, slot 5 RA77C.\rOne download "
         "loads one firmware type. Select modules of one type, or use \"Update all RA "
         "Amplifiers\" (quorvel-cli update-all) for a rack of mixed types."},
        {{3},
         [] {},
         "Slot 10 (RA14) waits in its loader (loader 1 V1.02). Its loader takes the commands "
         "without an address that the download to slot 4 sends, so it would take that "
         "firmware.\rDownload to slot 10 first (select it alone, or together with these slots), "
         "then start this download again."},
        {{0}, [&] { damage(application); }, "The firmware file " + application + damaged},
        {{0},
         [&] { testing_support::writeFile(application.toStdString(), ""); },
         "The firmware file " + application + " is empty."},
        {{0}, [&] { damage(loader2); }, "The loader 2 file " + loader2 + damaged},
    };
    const std::string applicationText = testing_support::readFile(application.toStdString());
    const std::string loader2Text = testing_support::readFile(loader2.toStdString());
    for (const Case& c : cases) {
        c.spoil();
        const size_t before = rack().received().size();
        ui.expectList(0).expectMessage(c.problem + "\r\r" + AdviceLines(RefusalAdvice()));
        EXPECT_EQ(download(c.selection), kOperationDeclined) << c.problem.toStdString();
        EXPECT_EQ(rack().received().size(), before) << c.problem.toStdString();
        for (const int slot : {0, 3, 4}) {
            EXPECT_TRUE(module(slot).runsApplication());
            EXPECT_EQ(module(slot).identity(), record(slot).Identity.toStdString());
        }
        const QJsonObject report = context->report().toJson();
        EXPECT_EQ(report["state"].toString(), kNothingChanged);
        testing_support::writeFile(application.toStdString(), applicationText);
        testing_support::writeFile(loader2.toStdString(), loader2Text);
    }
}

// Success means verified: a file whose name promises P2.09 but holds P2.07 is written completely,
// yet the module identified afterwards does not run the target, so the slot fails in "identify"
// and the tree shows what it runs without a rescan.
TEST_F(AmplifierDownloadTest, AModuleNotAtTheTargetVersionAfterTheRunIsAFailure) {
    const fwgen::AmplifierFirmware written = firmware(kRa51);
    ASSERT_TRUE(QFile::rename(downloadFile(written.applicationName), downloadFile("ra51p209.s00")));
    ASSERT_TRUE(QFile::rename(downloadFile(written.loader2Name), downloadFile("ra51p209p201.ld2")));
    startWith(rackOf({amplifierSlot(1, kRa51, "P2.04")}));
    ui.expectList(0).expectMessage("Download Error in Slot 2 !\r\rSlot 2 now runs: P2.07\r" +
                                   AdviceLines(AdviceFor(phase::kIdentify, "download")));
    EXPECT_EQ(download({1}), kNotAtTarget);
    EXPECT_TRUE(holdsFirmware(1, written));
    EXPECT_EQ(record(1).SoftwareVersion, "P2.07");
    EXPECT_EQ(ui.statuses.back(), "Error download!");
    const QJsonObject report = context->report().toJson();
    EXPECT_FALSE(report["ok"].toBool());
    const QJsonObject slot = report["slots"].toArray().first().toObject();
    EXPECT_EQ(slot["slot"].toInt(), 2);
    EXPECT_EQ(slot["running"].toString(), "P2.07");
    EXPECT_EQ(slot["target"].toString(), "P2.09");
    EXPECT_EQ(slot["phase"].toString(), "identify");
    EXPECT_EQ(slot["next_step"].toString(), report["next_step"].toString());
}

// New RA901B hardware takes firmware from P6.48 on. With the operator's consent the older
// hardware is loaded; the new module is marked left out in the report, named with what it runs
// and the advice, and the run is no success.
TEST_F(AmplifierDownloadTest, NewHardwareLeftOutOfTheDownloadIsNoSuccess) {
    fwgen::AmplifierModel model = fwgen::amplifierModel(4);
    model.version = "P6.47";
    const auto older = fwgen::amplifierFirmware(model, 3);
    fwgen::writeFileAtomically(downloadFile(older.applicationName).toStdString(),
                               older.applicationText);
    fwgen::writeFileAtomically(downloadFile(older.loader2Name).toStdString(), older.loader2Text);
    auto fresh = amplifierSlot(1, 4, "P6.48");
    fresh["hardwareRevision"] = "\"1.20\"";
    auto earlier = amplifierSlot(2, 4, "P6.45");
    earlier["hardwareRevision"] = "\"1.10\"";
    startWith(rackOf({fresh, earlier}));
    ui.expectList(0)
        .expectMessage(
            "Some RA901B/RA677 with hardware revision >= 1.20 detected.\rOnly firmware versions "
            ">= P6.48 in these amplifiers allowed!\r\rWould you like to update all amplifiers "
            "with hardware revision < 1.20?",
            kAnswerYes)
        .expectMessage(
            "Slot 2 (RA901B) was left out of the download: hardware revision >= 1.20 "
            "takes only firmware >= P6.48.\r\rSlot 2 now runs: P6.48\r" +
            AdviceLines(AdviceFor(phase::kLeftOut, "download")));
    EXPECT_EQ(download({1, 2}), kNotAtTarget);
    EXPECT_EQ(ui.lists.back().rows.front().front(), "RA901BP647.S00");
    EXPECT_TRUE(holdsFirmware(2, older));
    EXPECT_EQ(module(1).identity(), "QTX-RA901,RA901-WS50B,0,P6.48");
    const QJsonObject report = context->report().toJson();
    EXPECT_FALSE(report["ok"].toBool());
    EXPECT_EQ(report["next_step"].toString(), AdviceFor(phase::kLeftOut).nextStep);
    const QJsonArray outcomes = report["slots"].toArray();
    ASSERT_EQ(outcomes.size(), 2);
    EXPECT_TRUE(outcomes[0].toObject()["ok"].toBool());
    EXPECT_EQ(outcomes[1].toObject()["slot"].toInt(), 2);
    EXPECT_EQ(outcomes[1].toObject()["phase"].toString(), phase::kLeftOut);
    EXPECT_EQ(outcomes[1].toObject()["running"].toString(), "P6.48");
}

}  // namespace
}  // namespace operator_tests
