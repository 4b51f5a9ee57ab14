// ShowMessage, the library callbacks and the connection parameters.
#include <QDir>

#include "link/quorlink.h"
#include "operator/shell/callbacks.h"
#include "operator/shell/connection_parameters.h"
#include "shell_fixture.h"

using namespace quorvel;

namespace operator_tests {
namespace {

class MessagesTest : public ShellTest {
  protected:
    MessagesTest() {
        writeDefaultConfigFiles();
        start();
    }
};

// A missing library is named in the message of the shell that needs it.
TEST_F(MessagesTest, ShowMessageIsLoggedSystemModalAndTitledOrCollectedWhenQuiet) {
    ui.answers = {kAnswerYes};
    EXPECT_EQ(shell->ShowMessage("Sure?", kYesNo | kIconExclamation), kAnswerYes);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Quorvel");
    EXPECT_EQ(ui.messages[0].style, 0x34 + 4096);
    const QStringList texts = loggedTexts();
    EXPECT_EQ(texts[texts.size() - 2], "*** Sure? ***");
    EXPECT_EQ(texts.back(), "*** MessageBox() End ***");

    // Quiet mode collects instead of showing.
    shell->messages().QuietMessages = true;
    EXPECT_EQ(shell->ShowMessage("first", kIconExclamation, "T"), 0);
    EXPECT_EQ(shell->ShowMessage("second", kIconExclamation, "T"), 0);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(shell->messages().CollectedMessages, "*** first ***\r*** second ***\r");
    EXPECT_EQ(loggedTexts().back(), "*** second ***");

    ScriptedUi otherUi;
    auto e = environment();
    e.libraryPath = QDir(programDirectory).filePath("libquorlink.so").toStdString();
    OperatorShell broken(otherUi, e);
    EXPECT_EQ(broken.openConnection(), OperatorShell::kLibraryMissing);
    ASSERT_FALSE(otherUi.messages.empty());
    EXPECT_TRUE(otherUi.messages.back().prompt.contains("libquorlink.so"));
    EXPECT_EQ(otherUi.messages.back().title, "Quorvel Error");
}

// The library's text arrives whole (up to its 511 characters) and is titled by its kind; the
// NodePod callbacks reach the NodePod window only; an input goes back cut to 50 characters and a
// cancelled one hands back an empty one. Unlocking the interface flushes the protocol, and the
// viewer finds the file then.
TEST_F(MessagesTest, LibraryCallbacksAndTheInterfaceLock) {
    shell->ShowProtocolFile();
    EXPECT_FALSE(ui.viewerFound);  // nothing was flushed yet
    shell->EnableUserInterface(false);
    EXPECT_TRUE(shell->state().Busy);
    shell->WriteProtocol("during");
    EXPECT_FALSE(shell->protocolLog().pending().isEmpty());
    shell->EnableUserInterface(true);
    EXPECT_FALSE(shell->state().Busy);
    EXPECT_TRUE(shell->protocolLog().pending().isEmpty());
    EXPECT_EQ(ui.lockChanges, std::vector<bool>({false, true}));
    shell->ShowProtocolFile();
    EXPECT_EQ(ui.viewerCaption, "Quorlink Log File");
    EXPECT_TRUE(ui.viewerFound);
    EXPECT_TRUE(ui.viewerText.contains("-->Quorlink started.<--"));
    EXPECT_TRUE(ui.viewerText.contains(": during"));

    ScriptedUi nodePodWindow;
    NodePodProgressCallback(10);  // no window open: nothing happens
    SetNodePodWindow(&nodePodWindow);
    NodePodProgressCallback(55);
    ReceiveString("NODEPOD 3 erased");
    NodePodStatusCallback(1);
    SetNodePodWindow(nullptr);
    EXPECT_EQ(nodePodWindow.progress, std::vector<int>({55}));
    EXPECT_EQ(nodePodWindow.statuses, std::vector<QString>({"NODEPOD 3 erased"}));
    EXPECT_TRUE(ui.progress.empty());
    ReceiveString("Port Timeout!");
    MessageCallback(0);
    ReceiveString("Done.");
    MessageCallback(1);
    ReceiveString(std::string(511, 'x').c_str());
    MessageCallback(0);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].prompt, "Port Timeout!");
    EXPECT_EQ(ui.messages[0].title, "Quorvel Error");
    EXPECT_EQ(ui.messages[0].style, kIconExclamation | kSystemModal);
    EXPECT_EQ(ui.messages[1].title, "Quorvel Information");
    EXPECT_EQ(ui.messages[1].style, kIconInformation | kSystemModal);
    EXPECT_EQ(ui.messages[2].prompt, QString(511, 'x'));
    ProgressCallback(-5);
    ProgressCallback(40);
    ReceiveString("erasing");
    StatusCallback(2);
    EXPECT_EQ(ui.progress[ui.progress.size() - 2], 0);
    EXPECT_EQ(ui.progress.back(), 40);
    EXPECT_EQ(ui.statuses.back(), "erasing");
    ui.inputAnswer = QString(80, 'a');
    ReceiveString("Password?");
    InputCallback(0);
    EXPECT_EQ(ui.inputPrompts, std::vector<QString>{"Password?"});
    char buffer[600] = {};
    EXPECT_EQ(SendString(buffer), 50);
    ui.inputAnswer.reset();
    ReceiveString("Name?");
    InputCallback(0);
    EXPECT_EQ(SendString(buffer), 0);
}

// An unknown port name keeps its kind.
TEST(ConnectionParameters, EveryPortNameAndAnUnknownOne) {
    PortSettings port;
    port.baudrate = "19200";
    port.parity = "odd";
    port.dataBits = "7";
    port.stopBits = "2";
    port.rs485Adr = "5";
    port.gpibAdr = "9";
    port.ipAdr = "10.0.0.7";
    port.resetTimeout3 = "35";
    struct Case {
        QString name;
        int kind, parameter;
        std::optional<QString> text;
        int address;
        QString summary;
    };
    const std::vector<Case> cases = {
        {"COM1", 1, 19200, "o", -1, "COM1, 19200"},
        {"COM2", 2, 19200, "o", -1, "COM2, 19200"},
        {"LPT1", 90, 95, "o", -1, "LPT1"},
        {"LPT2", 91, 95, "o", -1, "LPT2"},
        {"COM1 - RS485", 10, 19200, "o", 5, "COM1 - RS485, 19200"},
        {"COM2 - RS485", 20, 19200, "o", 5, "COM2 - RS485, 19200"},
        {"Ethernet TCP/IP", 100, 1, "10.0.0.7", -1, "TCP/IP, 10.0.0.7"},
        {"GPIB (IEEE488)", 488, 19200, "o", 9, "GPIB (IEEE488), 9"},
        {"USB", 200, 3, std::nullopt, -1, "USB, first device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        port.commPort = c.name;
        ConnectionParameters p;
        ComputeConnectionParameters(port, true, p);
        EXPECT_EQ(p.portKind, c.kind);
        EXPECT_EQ(p.portParameter, c.parameter);
        EXPECT_EQ(p.portText, c.text);
        EXPECT_EQ(p.deviceAddress, c.address);
        EXPECT_EQ(p.dataBits, 7);
        EXPECT_EQ(p.stopBits, 2);
        EXPECT_EQ(p.resetSeconds, 35);
        EXPECT_EQ(p.trafficLog, 1);
        EXPECT_EQ(PortSummary(port), c.summary);
    }
    port.usbAdr = "FT1234";
    port.commPort = "USB";
    EXPECT_EQ(PortSummary(port), "USB, FT1234");

    PortSettings unknown;
    unknown.commPort = "COM9";
    ConnectionParameters kept;
    kept.portKind = 100;
    ComputeConnectionParameters(unknown, false, kept);
    EXPECT_EQ(kept.portKind, 100);
    EXPECT_EQ(kept.portParameter, 9600);
    EXPECT_EQ(kept.trafficLog, 0);
}

}  // namespace
}  // namespace operator_tests
