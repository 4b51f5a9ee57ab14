#include "operator/drivers/shell_commands.h"

#include "operator/drivers/failure_advice.h"

#include <QDir>
#include <QFile>

#include "operator/drivers/connection_guard.h"
#include "operator/drivers/menu_commands.h"
#include "operator/drivers/verify_step.h"

namespace quorvel {
namespace {

const QString kIncludeLoader1Question =
    "If a download with this option fails, your amplifier(s)\rwill not be operational "
    "anymore!\r\rAre you sure to include loader1 in RA download?";

// The traffic log in the working directory, whatever the case of its name.
QString existingTrafficLog() {
    const QDir here = QDir::current();
    for (const QString& name : here.entryList(QDir::Files)) {
        if (name.compare(kTrafficLogFile, Qt::CaseInsensitive) == 0) return here.filePath(name);
    }
    return {};
}

// An option entry: inverts its check mark and flag. `confirmOn` may refuse switching on.
Command toggle(DriverContext& context, const char* entry, bool ProgramState::*flag,
               const QString& protocolLine, std::function<bool()> confirmOn = {},
               std::function<void()> afterOn = {}) {
    return {FixedLine(protocolLine), {}, [&context, entry, flag, confirmOn, afterOn] {
                ProgramState& state = context.state();
                const bool on = !(state.*flag);
                if (on && confirmOn && !confirmOn()) return 0;
                state.*flag = on;
                context.ui().setMenuEntryChecked(entry, on);
                if (on && afterOn) afterOn();
                return 0;
            }};
}

void identifyEverySlot(DriverContext& context) {
    std::vector<int> slots(16);
    for (int slot = 0; slot < 16; ++slot) slots[slot] = slot;
    context.ui().setStatus("Identifying the modules...");
    IdentifyAgain(context, slots);
    context.RefreshDeviceTree();
}

// After a failed reset: a rack that came back late, or whose connection was cut during the
// reset, answers on a fresh connection.
bool reconnected(DriverContext& context) {
    context.gateway().closeConnection();
    return context.gateway().openConnection() == 0;
}

// The rack does not answer: what its slots run is unknown until it is switched off and on and
// scanned, so none keeps showing the version it ran before.
void forgetEverySlot(DriverContext& context) {
    for (SlotRecord& record : context.state().Inventory.slotRecords) {
        record.Present = false;
        record.Identity = "not detected";
    }
    context.RefreshDeviceTree();
}

}  // namespace

int ResetRack(DriverContext& context) {
    context.startReport("reset");
    context.report().beginPhase(phase::kResetRack,
                                context.dryRun ? Outcome::Planned : Outcome::Done);
    if (context.dryRun) return 0;
    OperatorShell& shell = context.shell();
    shell.EnableUserInterface(false);
    context.ui().setStatus("Reset VTX system...");
    int result = 0;
    {
        ConnectionGuard connection(context.gateway());
        if (connection.opened()) {
            result = context.gateway().ResetVTX(context.state().Connection.resetSeconds);
            // The reset restarts every module (one waiting in its loader may start its
            // application): they are identified again, as a scan does, so the tree shows what
            // the rack runs now.
            if (result == 0 || reconnected(context))
                identifyEverySlot(context);
            else
                forgetEverySlot(context);
        } else {
            context.ShowMessage(kRestartFailed, kIconExclamation);
            result = connection.result();
        }
    }
    if (result != 0) context.report().failPhase();
    context.ui().setStatus(result == 0 ? "Reset VTX finished." : "Reset VTX failed!");
    context.ui().setProgress(0);
    shell.EnableUserInterface(true);
    context.state().RestartPending = false;
    return result;
}

int SwitchTrafficLog(DriverContext& context) {
    ProgramState& state = context.state();
    if (state.TrafficLogOn) {
        state.TrafficLogOn = false;
    } else {
        const QString old = existingTrafficLog();
        if (!old.isEmpty() && context.ShowMessage("There is an existing logfile. Delete it?",
                                                  kYesNo | kIconExclamation) == kAnswerYes) {
            QFile::remove(old);
        }
        state.TrafficLogOn = true;
    }
    context.ui().setMenuEntryChecked(menu::kTrafficLog, state.TrafficLogOn);
    context.shell().ComputeConnectionParameters();
    return 0;
}

void RegisterShellCommands(CommandDispatcher& dispatcher) {
    DriverContext& context = dispatcher.context();
    OperatorShell& shell = context.shell();
    const Command scan{
        {}, {}, [&shell] { return shell.ScanSystem() == ScanOutcome::Finished ? 0 : -1; }};
    dispatcher.add(menu::kScan, scan);
    dispatcher.add(menu::kButtonScan, scan);
    dispatcher.add(menu::kShowLogFile, {{}, {}, [&shell] {
                                            shell.ShowProtocolFile();
                                            return 0;
                                        }});
    dispatcher.add(menu::kResetRack,
                   {FixedLine("-->Reset VTX.<--"), {}, [&context] { return ResetRack(context); }});
    dispatcher.add(menu::kTrafficLog, {{}, {}, [&context] { return SwitchTrafficLog(context); }});

    dispatcher.add(menu::kScanForLoader1,
                   toggle(context, menu::kScanForLoader1, &ProgramState::ScanForLoader1,
                          "-->Scan for loader1 clicked.<--"));
    dispatcher.add(menu::kSequentialDownload,
                   toggle(context, menu::kSequentialDownload, &ProgramState::SequentialDownload,
                          "-->Sequentiel RA download clicked.<--"));
    dispatcher.add(
        menu::kIncludeLoader1,
        toggle(context, menu::kIncludeLoader1, &ProgramState::IncludeLoader1, {}, [&context] {
            return context.ShowMessage(kIncludeLoader1Question, kYesNo | kIconExclamation) ==
                   kAnswerYes;
        }));
    dispatcher.add(
        menu::kOnlyLoader1,
        toggle(context, menu::kOnlyLoader1, &ProgramState::OnlyLoader1, {}, {}, [&context] {
            context.ShowMessage("You have selected Loader1 download, please be careful!",
                                kIconExclamation);
        }));
}

}  // namespace quorvel
