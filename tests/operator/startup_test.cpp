// Start-up: start modes, settings defaults and write-back, the baud-rate guard, second
// instances with their network-address offset, and the protocol header.
#include <QDir>
#include <QRegularExpression>

#include "shell_fixture.h"

using namespace quorvel;

namespace operator_tests {
namespace {

class StartupTest : public ShellTest {
  protected:
    StartupTest() { writeDefaultConfigFiles(); }
};

TEST_F(StartupTest, NormalStartReadsDefaultsStoresTheStartKeysAndShutdownStoresThePosition) {
    store("App", "Left", "120");
    store("App", "Top", "80");
    ASSERT_TRUE(start());
    const ProgramState& s = shell->state();
    EXPECT_EQ(s.StartMode, "");
    EXPECT_EQ(s.Port.commPort, "COM1");
    EXPECT_EQ(s.Port.baudrate, "9600");
    EXPECT_EQ(s.Port.parity, "even");
    EXPECT_EQ(s.DownloadDirectory, programDirectory + "/Download/");
    EXPECT_EQ(s.UploadDirectory, programDirectory + "/Upload/");
    EXPECT_EQ(ui.title, "Quorvel");
    EXPECT_EQ(ui.movedTo, std::make_pair(120, 80));  // the stored window position
    EXPECT_EQ(ui.statuses.back(), "offline!");
    EXPECT_EQ(ui.portSummary, "COM1, 9600");
    EXPECT_FALSE(ui.deviceTreeVisible);
    EXPECT_TRUE(ui.messages.empty());
    // The defaults of the start keys become stored values.
    EXPECT_EQ(stored("App", "Instance"), "0");
    EXPECT_EQ(stored("App", "IpCnt"), "0");
    EXPECT_EQ(stored("Properties", "LogActive"), "255");
    EXPECT_EQ(stored("Properties", "LogFileName"), logFile);
    // Port keys are only written by the port dialog.
    EXPECT_EQ(stored("Properties", "CommPort"), "");
    // Shutdown stores the position and flushes the log.
    ui.position = std::make_pair(33, 44);
    shell->shutdown();
    EXPECT_EQ(stored("App", "Left"), "33");
    EXPECT_EQ(stored("App", "Top"), "44");
    EXPECT_EQ(ui.progress.back(), 90);  // no restart due
    EXPECT_TRUE(loggedTexts().contains("-->Quorlink exit.<--"));
    EXPECT_TRUE(shell->protocolLog().pending().isEmpty());

    ASSERT_TRUE(start("s"));  // a lower-case mode is a normal start
    EXPECT_EQ(ui.title, "Quorvel");
    EXPECT_FALSE(ui.visibleEntries.contains("mnuTransferUpRA"));
    EXPECT_TRUE(ui.visibleEntries["mnuToolsIntBaudrate"]);  // shown in every mode
    EXPECT_TRUE(ui.visibleEntries["mnuToolsSep1"]);

    // Without a stored name the log file takes the library's.
    QSettings(settingsFile, QSettings::IniFormat).remove("Properties/LogFileName");
    ASSERT_TRUE(start());
    EXPECT_TRUE(stored("Properties", "LogFileName").endsWith("/Quorlink.log"));
}

// A baud rate above 38400 is capped outside the service modes.
TEST_F(StartupTest, StartModesShowTheirMenuEntriesAndPortsAndTheProtocolHeader) {
    ASSERT_TRUE(start("A"));
    EXPECT_EQ(ui.title, "Quorvel -A-");
    EXPECT_TRUE(ui.visibleEntries["mnuOnlyLoader1"]);
    EXPECT_TRUE(ui.visibleEntries["mnuTransferUpEEPROM"]);
    EXPECT_FALSE(ui.checkedEntries["mnuIncludeLoader1"]);
    EXPECT_FALSE(shell->state().IncludeLoader1);

    ASSERT_TRUE(start("PS"));
    EXPECT_EQ(shell->state().StartMode, "P");
    EXPECT_EQ(shell->state().StartSubMode, "S");
    EXPECT_EQ(ui.title, "Quorvel -PS-");
    EXPECT_TRUE(ui.checkedEntries["mnuSequRA"]);
    EXPECT_TRUE(ui.checkedEntries["mnuIncludeLoader1"]);
    EXPECT_TRUE(ui.enabledEntries["mnuBootloaderDV"]);
    EXPECT_TRUE(shell->state().SequentialDownload);
    EXPECT_TRUE(shell->state().IncludeLoader1);   // the ticked entry's flag agrees with it
    EXPECT_FALSE(shell->protocolLog().active());  // P starts write no protocol

    store("Properties", "CommPort", "USB");
    store("Properties", "USBAdr", "A1B2");
    ASSERT_TRUE(start("P"));
    EXPECT_EQ(ui.portSummary, "USB, first device");
    EXPECT_FALSE(shell->state().Connection.portText.has_value());

    ASSERT_TRUE(start("O"));
    const QStringList texts = loggedTexts();
    const qsizetype at = texts.indexOf("-->Quorlink started.<--");
    ASSERT_GE(at, 0);
    EXPECT_TRUE(texts[at + 1].contains(QRegularExpression("^Version : V\\d+\\.\\d+\\.\\d+$")));
    EXPECT_EQ(texts[at + 2], "UserMode: O");
    EXPECT_EQ(texts[at + 3], "AppPath : " + programDirectory);
    EXPECT_EQ(texts[at + 4], "Firmware: " + programDirectory + "/Download/");

    store("Properties", "CommPort", "COM1");
    store("Properties", "Baudrate", "57600");
    ASSERT_TRUE(start());
    EXPECT_EQ(shell->state().Port.baudrate, "38400");
    EXPECT_EQ(shell->state().Connection.portParameter, 38400);
    EXPECT_EQ(stored("Properties", "Baudrate"), "57600");  // not stored
    ASSERT_TRUE(start("S"));                               // service mode keeps it
    EXPECT_EQ(shell->state().Connection.portParameter, 57600);
}

TEST_F(StartupTest, SecondInstanceAsksAndOffsetsTheNetworkAddress) {
    store("Properties", "IpAdr", "10.0.0.140");
    store("Properties", "CommPort", "Ethernet TCP/IP");
    ScriptedUi firstUi;
    auto first = makeShell(firstUi);
    ASSERT_TRUE(first->start({}));

    ui.answers = {kAnswerYes};
    ASSERT_TRUE(start());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].prompt.startsWith("An Instance of Quorlink is already running!"));
    EXPECT_EQ(ui.messages[0].style, kYesNo | kIconStop | kSystemModal);
    EXPECT_EQ(ui.messages[0].title, "Quorvel");
    EXPECT_EQ(shell->state().Port.ipAdr, "10.0.0.141");
    EXPECT_EQ(ui.portSummary, "TCP/IP, 10.0.0.141");
    EXPECT_EQ(ui.title, "Quorvel +1");
    EXPECT_EQ(stored("App", "Instance"), "1");
    EXPECT_EQ(stored("App", "IpCnt"), "1");
    EXPECT_EQ(stored("Properties", "IpAdr"), "10.0.0.140");
    EXPECT_FALSE(shell->protocolLog().active());
    EXPECT_FALSE(ui.movedTo.has_value());
}

// Declining the second instance ends its start; in service mode it does not ask; an instance that
// ended no longer counts.
TEST_F(StartupTest, DecliningTheSecondInstanceEndsTheStartUnlessInServiceMode) {
    {
        ScriptedUi endedUi;
        ASSERT_TRUE(makeShell(endedUi)->start({}));
    }
    ASSERT_TRUE(start());
    EXPECT_EQ(shell->state().Instance, 0);
    EXPECT_TRUE(ui.messages.empty());
    shell.reset();

    ScriptedUi firstUi;
    auto first = makeShell(firstUi);
    ASSERT_TRUE(first->start({}));
    ui.answers = {kAnswerNo};
    EXPECT_FALSE(start());
    EXPECT_EQ(stored("App", "Instance"), "0");
    ui.messages.clear();
    ASSERT_TRUE(start("S"));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(shell->state().Instance, 1);
}

TEST(DirectoryBelow, UsesTheDirectoryItselfWhenItEndsWithASlash) {
    EXPECT_EQ(DirectoryBelow("/opt/quorvel", "Download"), "/opt/quorvel/Download/");
    EXPECT_EQ(DirectoryBelow("/opt/quorvel/", "Download"), "/opt/quorvel/");
}

}  // namespace
}  // namespace operator_tests
