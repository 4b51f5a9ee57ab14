// The processor driver against the simulated rack: the update of a KX43-family processor with its
// settings kept, the refusals and downgrade rules, and the 9600-baud switch of an old boot loader.
#include "operator/drivers/processor_driver.h"

#include <QDir>
#include <fstream>

#include "driver_rack.h"
#include "operator/drivers/verify_step.h"
#include "rack/processor/kx43_board.h"
#include "tools/fwgen/processor_firmware.h"

using namespace quorvel;

namespace driver_tests {
namespace {

const nlohmann::json kOlderSettings = {{"serialNumber", "\"KX43-0815\""},
                                       {"gpibAddress", 12},
                                       {"rs485Address", 5},
                                       {"rs232", "19200,1,2"},
                                       {"powerSaveMode", "1"},
                                       {"powerSaveTiming", "4"}};
const nlohmann::json kNewerSettings = {
    {"filter", "1"}, {"multiClient", "1"},    {"generalPurposeRegister", "4711"},
    {"pip1", "3"},   {"ntpServerStart", "1"}, {"ntpServerAddress", "10.0.0.5"}};

nlohmann::json processorRack(const std::string& kind, const std::string& version,
                             const std::string& loaderRevision, const nlohmann::json& settings = {},
                             const std::string& hardwareRevision = "\"A01\"") {
    return {{"timing", {{"resetMs", 1500}}},
            {"processor",
             {{"kind", kind},
              {"identity", "QTX," + kind + ",0," + version},
              {"version", version},
              {"loaderRevision", loaderRevision},
              {"hardwareRevision", hardwareRevision},
              {"restartMs", 1000},
              {"settings", settings.is_null() ? nlohmann::json::object() : settings}}}};
}

class ProcessorDriverTest : public DriverRackTest {
  protected:
    rack::Kx43Board& board() { return dynamic_cast<rack::Kx43Board&>(*rack().processor()); }
    // A firmware directory of `version` with its function file.
    void firmware(const QString& name, const std::string& version,
                  const char* functionFile = "KX43.CFG") {
        const std::string path = downloads(name).toStdString();
        fwgen::writeKx43Firmware(path, version, 5);
        if (functionFile) std::ofstream(path + "/" + functionFile) << fwgen::kx43FunctionFile();
    }
    std::string flashFile(const std::string& name) {
        const std::string* file = board().flashFiles().find(name);
        return file ? *file : "<missing>";
    }
    std::string pcFile(const QString& folder, const std::string& name) {
        std::ifstream in(downloads(folder).toStdString() + "/" + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

// The processor is identified again before the connection closes: a directory whose files hold
// another version than its name promises leaves the processor at that version, a failed run.
TEST_F(ProcessorDriverTest, UpdateWritesEveryFileAndKeepsBothSettingsSets) {
    struct Case {
        std::string kind;
        nlohmann::json settings;
        QString directory;
        const char* functionFile;
        QString failure;  // empty: the run succeeds
    };
    const QString notAtTarget = "Error: the processor runs P2.10 after the run, not P2.20.\r" +
                                AdviceLines(AdviceFor(phase::kIdentify, "processor download"));
    for (const Case& c : {Case{"KX43", kOlderSettings, "KX43P210.S00", "KX43.CFG", {}},
                          Case{"KX63", kNewerSettings, "KX63P210.S00", "KXxx.CFG", {}},
                          Case{"KX43", kOlderSettings, "KX43P220.S00", "KX43.CFG", notAtTarget}}) {
        SCOPED_TRACE(c.directory.toStdString());
        firmware(c.directory, "P2.10", c.functionFile);
        startOn(processorRack(c.kind, "P2.06", "2.10", c.settings));
        rack::Kx43Settings expected = board().settings();
        if (c.kind == "KX43") expected.tcpIpAddress = "192.168.0.140";  // the connection in use
        int refreshed = 0;
        context->refreshDeviceTree = [&refreshed] { ++refreshed; };
        ui.expectList(0);
        if (!c.failure.isEmpty()) ui.expectMessage(c.failure);
        ui.positions.clear();
        ui.positionTimesMs.clear();
        ASSERT_EQ(RunProcessorDriver(*context, {}), c.failure.isEmpty() ? 0 : kNotAtTarget);
        ui.verify();
        const QString unit = "processor " + QString::fromStdString(c.kind);
        EXPECT_EQ(testing_support::StepsOfTheRun(ui.positions, ui.positionTimesMs),
                  (QStringList{unit + " · step 1 of 3 (transfer files)",
                               unit + " · step 2 of 3 (start application)",
                               unit + " · step 3 of 3 (identify processor)"}));
        EXPECT_EQ(shell->state().Inventory.processor.SoftwareVersion, "P2.10") << "the tree";
        EXPECT_EQ(refreshed, 1);
        for (const auto& name : fwgen::kx43FirmwareFiles()) {
            if (name == "kx43ini.cnf") continue;  // carries the connection in use
            EXPECT_EQ(flashFile(name), pcFile(c.directory, name)) << name;
        }
        EXPECT_FALSE(board().inBootLoader());
        EXPECT_EQ(board().identity().version, "P2.10");
        EXPECT_EQ(board().settings(), expected);
        EXPECT_EQ(ui.statuses.back(), c.failure.isEmpty() ? "Download finished!" : "Error download!");
        const QStringList lines = protocol();
        EXPECT_TRUE(lines.contains("KXType   : " + QString::number(c.kind == "KX63" ? 5 : 1)));
        EXPECT_EQ(lines.back(), "-->Download KX() finished.<--");
        std::filesystem::remove_all(downloads(c.directory).toStdString());
    }
}

// A downgrade from P2.10 to P2.06: what each start mode and hardware revision leads to; the
// allowed case is planned only (dry run): the warning is what matters. Then types this program
// cannot update, and an old boot loader over TCP/IP, which takes only the serial line: refused
// with their texts before the firmware list. Nothing is sent in any case.
TEST_F(ProcessorDriverTest, DowngradeRulesAndRefusalsSendNothing) {
    struct Case {
        std::string kind, version, loaderRevision, hardwareRevision;
        QString startMode;
        QString message;
        int style;  // -1: a refusal before the firmware list
        int result;
    };
    const QString versions = "You have KX version P2.10\rand you try to download version P2.06";
    const std::vector<Case> cases = {
        {"KX43", "P2.10", "2.10", "\"A01\"", "",
         versions + ".\r\rDownload of older KX versions is not\rallowed! Please ask QTX!",
         kIconStop, kOperationDeclined},
        {"KX43", "P2.10", "2.10", "\"1.05\"", "S",
         "You are in service mode!\rPay attention!\r\r" + versions + " !", kIconExclamation, 0},
        {"KX43", "P2.10", "2.10", "\"1.06\"", "S",
         "KX may not be downgraded to the desired firmware version!", kOkOnly, kOperationDeclined},
        {"KX13", "P2.06", "2.10", "\"A01\"", "", "KX13 update not possible.", -1,
         kOperationDeclined},
        {"KX43P", "P2.06", "2.10", "\"A01\"", "",
         "KX download of this type and/or hardware revision\ris not supported by this "
         "Quorlink version!\rPlease use current Quorlink version or contact QTX!",
         -1, kOperationDeclined},
        {"KX43", "P2.06", "1.50", "\"A01\"", "",
         "Download KX43 firmware is only possible\rwith RS232 at 9.600baud, 8E1!\r\r"
         "Please connect RS232 of PC with VTX\rand try again!",
         -1, kOperationDeclined},
    };
    firmware("KX43P206.S00", "P2.06");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind + " " + c.loaderRevision + " " + c.startMode.toStdString() +
                     c.hardwareRevision);
        startOn(processorRack(c.kind, c.version, c.loaderRevision, {}, c.hardwareRevision),
                c.startMode);
        context->dryRun = c.result == 0;
        if (c.style >= 0) ui.expectList(0);
        // A refusal carries the table's "nothing was changed" beside the text.
        ui.expectMessage(c.result == 0 ? c.message : RefusalText(c.message));
        if (c.result == 0) ui.expectChoice(0);  // service mode shows the loader-1 entry too
        const size_t sent = rack().received().size();
        EXPECT_EQ(RunProcessorDriver(*context, {}), c.result);
        ui.verify();
        if (c.style >= 0) {
            EXPECT_EQ(ui.messages.back().style & ~kSystemModal, c.style);
        }
        EXPECT_EQ(rack().received().size(), sent) << "nothing is sent";
    }
}

TEST_F(ProcessorDriverTest, OldBootLoaderOnTheSerialLineIsSwitchedTo9600AndBack) {
    firmware("KX43P210.S00", "P2.10");
    store("Properties", "CommPort", "COM1");
    store("Properties", "Baudrate", "38400");
    startOn(processorRack("KX43", "P2.06", "1.50"));
    ui.expectList(0)
        .expectMessage(
            "Download KX43 firmware is only possible\rwith RS232 at 9.600baud, 8E1!\r\r"
            "Should this program set your VTX to 9600 baud, 8E1 ?",
            kAnswerYes)
        .expectMessage(
            "Baudrate of VTX set to 9600 baud, \r1 stopbit, even parity.\r\rVTX could "
            "stay at this\rsetting in case of download failure!");
    ASSERT_EQ(RunProcessorDriver(*context, {}), 0);
    ui.verify();
    const auto& lines = rack().received();
    const auto toSlow = std::find(lines.begin(), lines.end(), "BDR9600,2,1,0");
    const auto back = std::find(toSlow, lines.end(), "BDR38400,2,1,0");
    ASSERT_NE(toSlow, lines.end());
    ASSERT_NE(back, lines.end());
    EXPECT_NE(std::find(toSlow, back, "PRC9,7"), back) << "the download ran at 9600 baud";
    EXPECT_EQ(board().identity().baudSetting, "38400,2,1,0");
    EXPECT_EQ(board().identity().version, "P2.10");
    EXPECT_TRUE(protocol().contains("Set Baudrate to 9600 baud."));
}

}  // namespace
}  // namespace driver_tests
