// The rack scan against the simulated rack: the inventory field by field, the device tree, the
// protocol, the early ends and the rack's restart at shutdown.
#include <algorithm>

#include "rack/core/system_processor.h"
#include "shell_fixture.h"
#include "sim_rack.h"

using namespace quorvel;

namespace operator_tests {
namespace {

nlohmann::json rackWith(const std::string& processorIdentity = "QTX,KX43,0,P1.41") {
    return nlohmann::json::parse(R"({
      "processor": {"kind": "KX43", "hardwareRevision": "\"A01\"", "version": "P1.41",
                    "kernelRevision": "\"2.40\"", "fileSystemRevision": "\"1.12\"",
                    "loaderBiosRevision": "\"1.05\""},
      "panel": {"kind": "DV43A", "version": "P4.10", "hardwareRevision": "2.10",
                "serialNumber": "0012345"},
      "slots": [
        {"slot": 0, "kind": "RA51", "firmwareType": 2, "amtNumber": 12, "subChannels": 4,
         "version": "P2.04", "suffix": "F72"},
        {"slot": 4, "kind": "RA77", "firmwareType": 3, "amtNumber": 7, "subChannels": 2,
         "version": "P3.10"},
        {"slot": 7, "kind": "RA51", "firmwareType": 2, "amtNumber": 12, "subChannels": 4,
         "version": "P2.06", "layer": "loader1"}
      ]
    })")
        .patch(nlohmann::json::array(
            {{{"op", "add"}, {"path", "/processor/identity"}, {"value", processorIdentity}}}));
}

class ScanTest : public testing_support::SimRackTest, public ShellSandbox {
  protected:
    ScanTest() { writeDefaultConfigFiles(); }

    ScanOutcome scan(const nlohmann::json& description, const QString& startMode = {},
                     const QString& port = "Ethernet TCP/IP") {
        useRack(description);
        store("Properties", "CommPort", port);
        if (!start(startMode)) ADD_FAILURE() << "start-up ended";
        return shell->ScanSystem();
    }
    const DeviceInventory& inventory() const { return shell->state().Inventory; }
    bool rackReceived(const std::string& command) {
        const auto& lines = rack().received();
        return std::find(lines.begin(), lines.end(), command) != lines.end();
    }
};

// A full scan, the device tree and the protocol, rescans of changed racks, and the shutdown.
TEST_F(ScanTest, FullScanRescansAndShutdownRestartingTheRack) {
    ASSERT_EQ(scan(rackWith()), ScanOutcome::Finished);
    const ProcessorRecord& p = inventory().processor;
    // The loader revision is the version query's answer, four characters.
    EXPECT_EQ((QStringList{p.Identity, p.ProcessorType, p.SoftwareVersion, p.VersionSuffix,
                           p.LoaderRevision, p.HardwareRevision, p.KernelRevision,
                           p.FileSystemRevision, p.LoaderBiosRevision}),
              (QStringList{"QTX,KX43,0,P1.41", "KX43", "P1.41", "0", "P1.4", "A01", "2.40", "1.12",
                           "1.05"}));
    EXPECT_FALSE(p.InBootLoader);

    const PanelRecord& d = inventory().panel;  // hardware revision 2.10 makes a DV43B
    EXPECT_TRUE(d.Present);
    EXPECT_EQ((QStringList{d.PanelType, d.SoftwareVersion, d.HardwareRevision, d.SerialNumber}),
              (QStringList{"DV43B", "4.10", "2.10", "0012345"}));

    // A normal start gives an F72 module the F72 variant's files.
    const SlotRecord& ra51 = inventory().slotRecords[0];
    EXPECT_TRUE(ra51.Present);
    EXPECT_EQ((QStringList{ra51.Identity, ra51.IdentifiedType, ra51.SoftwareVersion,
                           ra51.VersionSuffix, ra51.TypePrefix, ra51.SecondTypePrefix}),
              (QStringList{"QTX-RA51,RA51-WS050,F72,P2.04", "RA51", "P2.04", "F72", "RA51-F72",
                           "RA51N"}));
    EXPECT_EQ((std::vector<long long>{ra51.ControllerKind, ra51.AmtNumber, ra51.SubChannelCount,
                                      ra51.AmpCode, ra51.StartAddress}),
              (std::vector<long long>{2, 12, 4, 16, 16384}));

    const SlotRecord& ra77 = inventory().slotRecords[4];  // controller WS081
    EXPECT_EQ(ra77.IdentifiedType, "RA77C");
    EXPECT_EQ(ra77.ControllerKind, 3);
    EXPECT_EQ(ra77.TypePrefix, "RA77C");

    const SlotRecord& loader = inventory().slotRecords[7];
    EXPECT_EQ((QStringList{loader.Identity, loader.HardwareRevision, loader.TypePrefix}),
              (QStringList{"QTX-RA51,RA51-WS050,L1,V1.02,0012", " ", "RA51"}));
    EXPECT_EQ(loader.AmtNumber, 12);

    const SlotRecord& empty = inventory().slotRecords[1];
    EXPECT_TRUE(empty.Present);
    EXPECT_EQ(empty.Identity, "not detected");
    EXPECT_EQ(empty.ControllerKind, 0);
    EXPECT_EQ(empty.TypePrefix, "");

    EXPECT_TRUE(ui.deviceTreeVisible);
    ASSERT_TRUE(ui.processorBox && ui.panelBox);
    EXPECT_EQ(ui.processorBox->caption, "KX : QTX,KX43,0,P1.41");
    EXPECT_TRUE(ui.processorBox->enabled);
    EXPECT_EQ(ui.panelBox->caption, "DV : QTX,DV43A,P4.10");
    EXPECT_EQ(ui.slotBoxes.size(), 16u);
    EXPECT_EQ(ui.slotBoxes[0].caption, "01 - RA : QTX-RA51,RA51-WS050,F72,P2.04");
    EXPECT_EQ(ui.slotBoxes[15].caption, "16 - RA : not detected");
    EXPECT_EQ(ui.slotBoxes[7].caption, "08 - RA : QTX-RA51,RA51-WS050,L1,V1.02,00");
    EXPECT_EQ(ui.statuses.back(), "Ready");
    EXPECT_EQ(ui.lockChanges, std::vector<bool>({false, true}));

    const QStringList texts = loggedTexts();
    const qsizetype at = texts.indexOf("-->Scan started.<--");
    ASSERT_GE(at, 0);
    EXPECT_EQ(texts[at + 1], "Open port()");
    EXPECT_EQ(texts[at + 2], "CPort    : 100");
    EXPECT_EQ(texts[at + 9], "Port opened.");
    EXPECT_TRUE(texts.contains("KX : QTX,KX43,0,P1.41"));
    EXPECT_TRUE(texts.contains("Slot/Ident  : 05 - RA : QTX-RA77,RA77-WS081,0,P3.10"));
    EXPECT_TRUE(texts.contains("AmpName     : RA77"));
    EXPECT_TRUE(texts.contains("AmtNr       : 7"));
    EXPECT_EQ(texts.back(), "-->Scan finished okay.<--");

    // Rescans rewrite each record.
    ASSERT_EQ(shell->ScanSystem(), ScanOutcome::Finished);
    EXPECT_EQ(inventory().slotRecords[0].TypePrefix, "RA51-F72");  // marked once, not twice

    // A boot loader that gives no version after a comma leaves none of the application's.
    useRack(rackWith("QTX-KX43B-Bootstraploader"));
    ASSERT_EQ(shell->ScanSystem(), ScanOutcome::ProcessorOnly);
    EXPECT_FALSE(inventory().scanned);
    EXPECT_EQ(inventory().processor.ProcessorType, "KX43B");
    EXPECT_EQ(inventory().processor.SoftwareVersion, "");
    EXPECT_EQ(inventory().processor.LoaderRevision, "");
    EXPECT_EQ(inventory().processor.KernelRevision, "2.40");

    // The F72 module gives way to a model no table lists; the RA77 is pulled out.
    nlohmann::json swapped = rackWith();
    swapped["slots"][0] = {{"slot", 0}, {"kind", "RA51"}, {"model", "RA99"}, {"version", "P1.00"}};
    swapped["slots"].erase(1);
    useRack(swapped);
    ASSERT_EQ(shell->ScanSystem(), ScanOutcome::Finished);
    const SlotRecord& unlisted = inventory().slotRecords[0];
    EXPECT_EQ((QStringList{unlisted.IdentifiedType, unlisted.VersionSuffix, unlisted.TypePrefix,
                           unlisted.SecondTypePrefix}),
              (QStringList{"RA99", "0", "", ""}));
    EXPECT_EQ(unlisted.StartAddress, 0);
    EXPECT_EQ(unlisted.AmpCode, 0);
    const SlotRecord& pulled = inventory().slotRecords[4];  // " ": the library's text for nothing
    EXPECT_EQ((QStringList{pulled.Identity, pulled.IdentifiedType, pulled.TypePrefix}),
              (QStringList{"not detected", " ", ""}));
    EXPECT_EQ((std::vector<long long>{pulled.StartAddress, pulled.SubChannelCount,
                                      pulled.ControllerKind}),
              (std::vector<long long>{0, 0, 0}));
    EXPECT_TRUE(inventory().scanned);

    // Shutting down after a scan puts the rack into multi-master mode.
    EXPECT_TRUE(shell->state().RestartPending);
    auto* processor = dynamic_cast<rack::SystemProcessor*>(rack().processor());
    ASSERT_NE(processor, nullptr);
    EXPECT_FALSE(processor->multiMaster());
    shell->shutdown();
    EXPECT_TRUE(processor->multiMaster());
    EXPECT_FALSE(shell->state().RestartPending);
}

// An old KX43 is scanned over a serial port; a loader-1 scan asks with group 0 up to P1.33, with
// group 1 from P1.34 on.
TEST_F(ScanTest, ServiceAndOStartsAndTheProcessorVersion) {
    ASSERT_EQ(scan(rackWith(), "S"), ScanOutcome::Finished);
    EXPECT_EQ(inventory().slotRecords[0].TypePrefix, "RA51");
    ASSERT_EQ(scan(rackWith(), "O"), ScanOutcome::Finished);
    shell->shutdown();
    EXPECT_FALSE(rackReceived("PRC10"));
    EXPECT_EQ(ui.progress.back(), 90);

    EXPECT_EQ(scan(rackWith("QTX,KX43,0,P1.40"), {}, "COM2"), ScanOutcome::Finished);
    ASSERT_EQ(scan(rackWith("QTX,KX43,0,P1.34"), {}, "COM1"), ScanOutcome::Finished);
    EXPECT_TRUE(rackReceived("PRC1,6,I02"));
    useRack(rackWith("QTX,KX43,0,P1.33"));
    shell->state().ScanForLoader1 = true;
    ASSERT_EQ(shell->ScanSystem(), ScanOutcome::Finished);
    EXPECT_TRUE(rackReceived("PRC1,2,I02"));
    EXPECT_FALSE(rackReceived("PRC1,6,I02"));
}

// A processor in its boot loader ends the scan.
TEST_F(ScanTest, OldKx43FirmwareIsRefusedOverTcpAndABootLoaderEndsTheScan) {
    ASSERT_EQ(scan(rackWith("QTX,KX43,0,P1.40")), ScanOutcome::RefusedPort);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_TRUE(ui.messages.back().prompt.startsWith(
        "Firmware download with this KX43 firmware version (<P1.41)"));
    EXPECT_FALSE(ui.processorBox->enabled);
    EXPECT_TRUE(inventory().processorRefused);
    EXPECT_FALSE(rackReceived("DID?"));
    EXPECT_FALSE(shell->state().RestartPending);
    EXPECT_EQ(ui.statuses.back(), "Ready");

    ASSERT_EQ(scan(rackWith("QTX-KX43B-Bootstraploader,1.07")), ScanOutcome::ProcessorOnly);
    EXPECT_TRUE(inventory().processor.InBootLoader);
    EXPECT_EQ(inventory().processor.LoaderRevision, "1.07");
    EXPECT_FALSE(rackReceived("DID?"));
    EXPECT_FALSE(shell->state().RestartPending);
}

// Group 2 runs no loader fallback for the empty slot 1; a KX13 rack is not restarted at shutdown.
TEST_F(ScanTest, Kx13SlotsAreAskedWithLoaderGroup2AndTheRackIsNotRestarted) {
    ASSERT_EQ(scan(rackWith("QTX,KX13,0,P1.50")), ScanOutcome::Finished);
    EXPECT_EQ(inventory().processor.ProcessorType, "KX13");
    EXPECT_FALSE(rackReceived("PRC1,2,I02"));
    EXPECT_FALSE(rackReceived("PRC1,6,I02"));
    EXPECT_TRUE(shell->state().RestartPending);
    shell->shutdown();
    EXPECT_FALSE(rackReceived("PRC10"));
}

TEST_F(ScanTest, SilentRackLeavesTheScanOffline) {
    auto peer = std::make_shared<testing_support::ScriptedPeer>();
    peer->expectActivate(false);
    attach(peer);
    ASSERT_TRUE(start());
    EXPECT_EQ(shell->ScanSystem(), ScanOutcome::ConnectionFailed);
    EXPECT_NE(shell->lastConnectionResult(), 0);
    EXPECT_EQ(ui.statuses.back(), "offline!");
    EXPECT_EQ(ui.lockChanges, std::vector<bool>({false, true}));
    EXPECT_FALSE(shell->state().RestartPending);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().title, "Quorvel Error");
}

}  // namespace
}  // namespace operator_tests
