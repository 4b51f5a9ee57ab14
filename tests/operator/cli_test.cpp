// quorvel-cli's parts: port options and advice, inventory output, progress, questions, the
// count-down of the library's long waits.
#include <gtest/gtest.h>

#include <tuple>

#include <cstdio>
#include <string>

#include "linkpad/hooks.h"
#include "operator/cli/cli_ui.h"
#include "operator/cli/inventory_report.h"
#include "operator/cli/port_options.h"
#include "operator/cli/terminal_progress.h"

using namespace quorvel;
using namespace quorvel::cli;

namespace {

// Output written to a memory stream.
struct CapturedStream {
    char* data = nullptr;
    size_t size = 0;
    std::FILE* stream = open_memstream(&data, &size);
    ~CapturedStream() {
        std::fclose(stream);
        std::free(data);
    }
    std::FILE* get() { return stream; }
    std::string text() { return std::fflush(stream), std::string(data, size); }
};

TEST(PortOptions, PortNamesAddressesAndConnectionAdvice) {
    EXPECT_EQ(PortNameFromOption("tcp"), "Ethernet TCP/IP");
    EXPECT_EQ(PortNameFromOption("COM2"), "COM2");
    EXPECT_EQ(PortNameFromOption("com1-rs485"), "COM1 - RS485");
    EXPECT_EQ(PortNameFromOption("GPIB (IEEE488)"), "GPIB (IEEE488)");
    EXPECT_EQ(PortNameFromOption("com3"), "");

    PortSettings port;
    const auto problem = ApplyPortOverrides({"com9", std::nullopt, std::nullopt}, port);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("com1, com2"), std::string::npos);
    EXPECT_EQ(port.commPort, "COM1");
    EXPECT_FALSE(ApplyPortOverrides({"tcp", std::nullopt, "10.1.1.1:5025"}, port));
    EXPECT_EQ(port.commPort, "Ethernet TCP/IP");
    EXPECT_EQ(port.ipAdr, "10.1.1.1:5025");
    EXPECT_FALSE(ApplyPortOverrides({"com2-rs485", 19200, "7"}, port));
    EXPECT_EQ(port.rs485Adr, "7");
    EXPECT_EQ(port.baudrate, "19200");
    EXPECT_FALSE(ApplyPortOverrides({"usb", std::nullopt, "FT01"}, port));
    EXPECT_EQ(port.usbAdr, "FT01");
    EXPECT_EQ(port.ipAdr, "10.1.1.1:5025");

    PortSettings serial;
    EXPECT_NE(ConnectionAdvice(-4, serial, "").find("dialout"), std::string::npos);
    EXPECT_NE(ConnectionAdvice(-5, serial, "").find("in use by another program"),
              std::string::npos);
    PortSettings tcp;
    tcp.commPort = "Ethernet TCP/IP";
    tcp.ipAdr = "10.0.0.9";
    EXPECT_NE(ConnectionAdvice(-3, tcp, "refused").find("10.0.0.9 cannot be reached (refused)"),
              std::string::npos);
    EXPECT_TRUE(IsNoAnswer(-1, tcp));
    EXPECT_TRUE(IsNoAnswer(-2, tcp));
    EXPECT_TRUE(IsNoAnswer(-3, tcp));  // nothing listens: no rack there
    EXPECT_FALSE(IsNoAnswer(-3, serial));
    PortSettings gpib;
    gpib.commPort = "GPIB (IEEE488)";
    EXPECT_FALSE(IsNoAnswer(-2, gpib));
    EXPECT_NE(ConnectionAdvice(-2, gpib, "").find("not available"), std::string::npos);
}

DeviceInventory sampleInventory() {
    DeviceInventory inventory;
    inventory.processor.Identity = "QTX,KX43,0,P1.41";
    inventory.processor.ProcessorType = "KX43";
    inventory.processor.SoftwareVersion = "P1.41";
    inventory.panel.Present = true;
    inventory.panel.Identity = "not detected";
    inventory.panel.PanelType = "DV";
    SlotRecord& slot = inventory.slotRecords[2];
    slot.Present = true;
    slot.Slot = 2;
    slot.Identity = "QTX-RA51,RA51-WS050,0,P2.06";
    slot.IdentifiedType = "RA51";
    slot.SoftwareVersion = "P2.06";
    slot.ControllerKind = 2;
    slot.HardwareRevision = "B02";
    slot.TypePrefix = "RA51";
    SlotRecord& empty = inventory.slotRecords[3];
    empty.Present = true;
    empty.Slot = 3;
    empty.Identity = "not detected";
    return inventory;
}

// Slots are numbered 1-16 beside the library's channel; each device carries its state and the
// newer firmware, and the table explains what needs attention and sums up.
TEST(InventoryReport, JsonHoldsEveryScannedSlotAndTheTableHasAlignedColumns) {
    quorvel::RackStatus status;
    status.processor = {quorvel::DeviceState::Outdated, "P2.06", "runs P1.41; P2.06 is available"};
    status.amplifierSlots[2] = {quorvel::DeviceState::Attention, {}, "runs loader 1 (V1.03)"};
    const auto json = InventoryJson(sampleInventory(), status);
    EXPECT_EQ(json["processor"]["type"], "KX43");
    EXPECT_EQ(json["processor"]["state"], "outdated");
    EXPECT_EQ(json["processor"]["newer_firmware"], "P2.06");
    EXPECT_EQ(json["panel"]["state"], "empty");
    ASSERT_EQ(json["slots"].size(), 2u);
    EXPECT_EQ(json["slots"][0]["slot"], 3);
    EXPECT_EQ(json["slots"][0]["channel"], 2);
    EXPECT_EQ(json["slots"][0]["state"], "attention");
    EXPECT_TRUE(json["slots"][0]["newer_firmware"].is_null());
    EXPECT_EQ(json["slots"][0]["controllerKind"], 2);
    EXPECT_EQ(json["slots"][0]["typePrefix"], "RA51");
    EXPECT_TRUE(json["slots"][0]["detected"]);
    EXPECT_FALSE(json["slots"][1]["detected"]);
    EXPECT_EQ(json["slots"][1]["state"], "empty");
    EXPECT_EQ(json["summary"], "1 of 2 devices can be updated, 1 needs attention");

    EXPECT_EQ(
        InventoryTable(sampleInventory(), status),
        "POSITION  IDENTITY                     TYPE  VERSION  CTRL  HW REV  PREFIX  STATE      NEWER\n"
        "KX        QTX,KX43,0,P1.41             KX43  P1.41    -     -       -       outdated   P2.06\n"
        "DV        not detected                 DV    -        -     -       -       -          -\n"
        "03        QTX-RA51,RA51-WS050,0,P2.06  RA51  P2.06    2     B02     RA51    attention  -\n"
        "04        not detected                 -     -        -     -       -       -          -\n"
        "03: runs loader 1 (V1.03)\n"
        "1 of 2 devices can be updated, 1 needs attention\n");
}

// Plain output prints a phase's start and end, one line per 10 % and one per half minute without a
// line; on a terminal one line is redrawn and only a note ends a line. On a terminal the progress line counts down the library's long waits while an operation
// runs, and says nothing of them once it is over.
TEST(TerminalProgress, PlainLinesOrOneRedrawnLineThatCountsDownLongWaitsDuringAnOperation) {
    CapturedStream plain;
    TerminalProgress lines(plain.get(), false);
    const struct {
        const char* phase;
        const char* text;
        int percent;
        int64_t atMs;
    } shown[] = {
        {"Erase", "Erase", 0, 0},                         // a phase starts
        {"Erase", "Erase", 3, 100},                       // within the tenth
        {"Erase", "Erase", 12, 200},                      // the next tenth
        {"Erase", "Erase, waiting 8 s", 12, 20000},       // quiet for less than half a minute
        {"Erase", "Erase, waiting 1 s", 12, 30200},       // quiet for half a minute
        {"Erase", "Erase", 19, 31000},                    // the phase's end, told when it ends
        {"Write", "Write", 0, 32000},
        {"Write", "Write", 55, 33000},
        {"Write", "Write", 100, 34000},
    };
    for (const auto& s : shown) lines.show(s.phase, s.text, s.percent, s.atMs);
    lines.finishLine();
    EXPECT_EQ(plain.text(),
              "  0% Erase\n 12% Erase\n 12% Erase, waiting 1 s\n 19% Erase\n  0% Write\n"
              " 55% Write\n100% Write\n");

    CapturedStream out;
    TerminalProgress progress(out.get(), true);
    progress.show("scanning", "scanning", 10, 0);
    progress.printLine("note");
    EXPECT_EQ(out.text(), "\r\033[K[##                      ]  10% scanning\r\033[Knote\n");

    CapturedStream err;
    linkpad::VirtualClock clock;
    linkpad::ScopedClock scoped(clock);
    CliUi ui({Verbosity::Normal, false, true, true, false}, err.get());
    ui.setInterfaceEnabled(false);
    ui.setStatus("Erase Flash...");
    QTX_WaitMs(2000);
    ui.setInterfaceEnabled(true);
    const std::string during = err.text();
    EXPECT_NE(during.find("Erase Flash..., waiting for the module, up to 2 s"), std::string::npos)
        << during;
    EXPECT_NE(during.find("Erase Flash..., waiting for the module, up to 1 s"), std::string::npos);
    QTX_WaitMs(2000);  // no operation runs: nothing is told
    EXPECT_EQ(err.text(), during);
}

// Without a terminal questions are answered No unless --yes is given, and quiet mode hides notes
// but keeps errors. On a terminal answers are read; No of a three-way question is No, and a
// success shown with an exclamation mark is no error.
TEST(CliUi, QuestionsAnsweredWithoutATerminalOrReadFromIt) {
    CapturedStream err;
    CliUi ui({Verbosity::Normal, false, false, false}, err.get());
    EXPECT_EQ(ui.showMessageBox("Delete it?", kYesNo | kIconExclamation, "Quorvel"), kAnswerNo);
    EXPECT_NE(err.text().find("use --yes"), std::string::npos);
    EXPECT_FALSE(ui.askInput("Name?", "Quorvel"));
    // A message the operator confirms after acting on the device needs a terminal or --yes.
    const int confirm = kIconExclamation | kNeedsConfirmation;
    EXPECT_NE(ui.confirmationUnavailable().indexOf("--yes"), -1);
    EXPECT_EQ(ui.showMessageBox("Press OK!", confirm, "Quorvel"), kAnswerCancel);

    CliUi agreeing({Verbosity::Normal, true, false, false}, err.get());  // --yes
    EXPECT_EQ(agreeing.showMessageBox("Go on?", kOkCancel, "Quorvel"), kAnswerOk);
    EXPECT_EQ(agreeing.showMessageBox("Sure?", kYesNo, "Quorvel"), kAnswerYes);
    EXPECT_EQ(agreeing.confirmationUnavailable(), "");
    EXPECT_EQ(agreeing.showMessageBox("Press OK!", confirm, "Quorvel"), kAnswerOk);
    EXPECT_NE(err.text().find("(not waited for: --yes)"), std::string::npos);

    CapturedStream quietErr;
    CliUi quiet({Verbosity::Quiet, false, false, false}, quietErr.get());
    quiet.showMessageBox("Port Timeout!", kIconExclamation, "Quorvel Error");
    quiet.showMessageBox("Done.", kIconInformation, "Quorvel Information");
    quiet.setInterfaceEnabled(false);
    quiet.setStatus("scanning KX...");
    ASSERT_EQ(quiet.errors().size(), 1u);
    EXPECT_EQ(quietErr.text(), "quorvel-cli: Port Timeout!\n");

    CapturedStream shown;
    std::string input = "y\nsecret\nn\nc\n\n";
    std::FILE* in = fmemopen(input.data(), input.size(), "r");
    CliUi asking({Verbosity::Normal, false, true, false}, shown.get(), in);
    EXPECT_EQ(asking.showMessageBox("Sure?", kYesNo, "Quorvel"), kAnswerYes);
    EXPECT_EQ(asking.askInput("Password?", "Quorvel"), QString("secret"));
    EXPECT_EQ(asking.showMessageBox("Save?", kYesNoCancel | kIconQuestion, "Quorvel"), kAnswerNo);
    EXPECT_EQ(asking.showMessageBox("Save?", kYesNoCancel | kIconQuestion, "Quorvel"),
              kAnswerCancel);
    EXPECT_EQ(asking.confirmationUnavailable(), "");
    EXPECT_EQ(asking.showMessageBox("Press OK!", confirm, "Quorvel"), kAnswerOk);
    EXPECT_NE(shown.text().find("Press Enter when done"), std::string::npos);
    EXPECT_EQ(std::fgetc(in), EOF) << "the Enter was read";
    // Successes, also those the library reports with its error kind, are no errors.
    for (const auto& [text, style, title] :
         {std::tuple{"Upload finished!", kIconExclamation, "Quorvel"},
          std::tuple{"Internal Baudrate have been succesfully reset to be compatible!",
                     kIconExclamation, "Quorvel Error"},
          std::tuple{"Download finished!\rDownloadtime: 12 seconds.", kIconStop, "Quorvel"}}) {
        asking.showMessageBox(text, style, title);
        EXPECT_EQ(shown.text().find(std::string("quorvel-cli: ") + text), std::string::npos);
        EXPECT_NE(shown.text().find(TerminalText(text)), std::string::npos);
    }
    EXPECT_TRUE(asking.errors().empty());
    std::fclose(in);
}

}  // namespace
