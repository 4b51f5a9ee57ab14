// The command dispatcher with every family of drivers registered: each entry that starts an
// operation is there, writes its protocol line and asks its guard question first, and an entry
// whose question is declined or whose selection does not fit sends nothing; an amplifier entry
// says that no amplifier is selected.
#include "driver_rack.h"
#include "operator/drivers/amplifier_commands.h"
#include "operator/drivers/failure_advice.h"
#include "operator/drivers/menu_commands.h"
#include "operator/drivers/nodepod_command.h"
#include "operator/drivers/processor_panel_commands.h"
#include "operator/drivers/shell_commands.h"

using namespace quorvel;

namespace driver_tests {
namespace {

struct EntryCase {
    const char* entry;
    const char* protocolLine;  // empty: the entry writes none
    const char* guardQuestion;
    const char* refusal;  // the amplifier entries' operation named in "<it>: no amplifier selected."
};

const EntryCase kEntries[] = {
    {menu::kKx43Loader1, "-->Download loader1 KX43.<--",
     "If this function fails, your KX will\rnot be operational anymore!\r\rAre you sure to "
     "download loader1 for KX?", ""},
    {menu::kPanelLoader1, "-->Download loader1 DVxx.<--",
     "If a download with this option fails, your DV will\rnot be operational anymore!\r\rAre you "
     "sure to download loader1 for DV?", ""},
    {menu::kDownloadIec, "-->Download IEC.<--", "", "IEC software download"},
    {menu::kActivateAmplifiers, "-->Activate RA.<--", "", "Activate"},
    {menu::kUploadAmplifier, "-->Upload RA.<--", "", "Flash upload"},
    {menu::kUploadIec, "-->Upload IEC.<--", "", "IEC software upload"},
    {menu::kUploadEeprom, "-->Upload JB6xx/JB9xx EEPROM.<--", "", "EEPROM upload"},
    {menu::kSwitchToRc, "-->Switch to RC mode.<--", "", "Switch to RC mode"},
    {menu::kSwitchToRa, "-->Switch to RA mode.<--", "", "Switch to RA mode"},
    {menu::kSubChannels, "-->Change channel count.<--", "", "Change channel count"},
    {menu::kResetLoader1, "-->Reset hidden loader1 in VTXsplit.<--", "", "Reset Loader1"},
    {menu::kClearChannelNames, "-->Clear UCC.<--", "", "Clear channel names"},
    {menu::kNodePodDownload, "", "", ""},
    {menu::kButtonNodePod, "", "", ""},
};

class CommandTable : public DriverRackTest {};

TEST_F(CommandTable, EntriesWriteTheirLineAskTheirQuestionAndSendNothingWithoutASelection) {
    startOn({{"processor", {{"kind", "KX43"}, {"version", "P2.06"}}}});
    CommandDispatcher dispatcher(*context);
    RegisterShellCommands(dispatcher);
    RegisterAmplifierCommands(dispatcher);
    RegisterProcessorAndPanelCommands(dispatcher);
    RegisterNodePodCommand(dispatcher, ui, [](NodePodWindow&) { FAIL() << "window shown"; });
    for (const char* entry :
         {menu::kDownload, menu::kButtonDownload, menu::kUpdateAll, menu::kUploadKx33,
          menu::kActivateProcessor, menu::kActivatePanel, menu::kPanelBootstrap,
          menu::kInterfaceBaudRate, menu::kResetRack, menu::kTrafficLog, menu::kScan,
          menu::kButtonScan, menu::kShowLogFile, menu::kScanForLoader1, menu::kIncludeLoader1,
          menu::kOnlyLoader1, menu::kSequentialDownload}) {
        EXPECT_TRUE(dispatcher.contains(entry)) << entry;
    }

    const size_t sent = rack().received().size();
    for (const EntryCase& c : kEntries) {
        SCOPED_TRACE(c.entry);
        ASSERT_TRUE(dispatcher.contains(c.entry));
        const QStringList before = protocol();
        if (*c.guardQuestion) ui.expectMessage(c.guardQuestion, kAnswerNo);
        const bool amplifierEntry = *c.refusal != '\0';
        if (amplifierEntry)
            ui.expectMessage(QString(c.refusal) + ": no amplifier selected.\r" + kNothingChanged);
        EXPECT_EQ(dispatcher.dispatch(c.entry), amplifierEntry ? kNothingToDo : kOperationDeclined);
        const QStringList written = protocol().mid(before.size());
        if (*c.protocolLine)
            EXPECT_EQ(written.value(0), c.protocolLine);
        else
            EXPECT_EQ(written, QStringList{});
    }
    EXPECT_EQ(rack().received().size(), sent);
}

}  // namespace
}  // namespace driver_tests
