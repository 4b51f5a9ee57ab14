#include "operator/cli/driver_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <functional>
#include <iostream>
#include <set>

#include "operator/cli/exit_codes.h"
#include "operator/drivers/amplifier_commands.h"
#include "operator/drivers/amplifier_upload.h"
#include "operator/drivers/download_all.h"
#include "operator/drivers/maintenance.h"
#include "operator/drivers/menu_commands.h"
#include "operator/drivers/processor_panel_commands.h"
#include "operator/drivers/shell_commands.h"
#include "operator/drivers/slot_checks.h"

namespace quorvel::cli {
namespace {


void printPlan(const RunReport& report) {
    std::cout << "plan: " << report.operation().toStdString() << " (nothing was sent)\n";
    for (const Phase& phase : report.phases()) {
        std::cout << "  " << phase.name.toStdString() << " ["
                  << OutcomeName(phase.outcome).toStdString() << "]\n";
        for (const QString& detail : phase.details)
            std::cout << "    " << detail.toStdString() << "\n";
        for (const auto& message : phase.messages)
            std::cout << "    ! " << TerminalText(message.text) << "\n";
    }
    std::cout << std::flush;
}

int exitCode(CliSession& session, const Job& job, int result) {
    if (!session.ui().unanswered().empty()) {
        PrintError("a question was not answered; run again with " +
                   session.ui().unanswered().front());
        return kExitFailed;
    }
    if (result == 0) return kExitDone;
    if (result == job.nothingToDo || result == kNothingToDo) return kExitNothingToDo;
    if (result == job.noDevice || result == kNoDevice) return kExitNoRack;
    const int connection = session.shell().lastConnectionResult();
    if (connection != 0 && IsNoAnswer(connection, session.shell().state().Port)) return kExitNoRack;
    return kExitFailed;
}

// A failed run: each slot not at its target with what it runs now, then the state and the next
// step from the table of advice (the same texts as the window's run view and the JSON report).
void printFailure(const RunReport& report, bool quiet) {
    for (const SlotOutcome& outcome : report.slotOutcomes()) {
        if (outcome.atTarget) continue;
        std::cerr << "slot " << outcome.slot + 1 << " " << outcome.module.toStdString()
                  << ": runs " << outcome.running.toStdString()
                  << (outcome.target.isEmpty() ? "" : ", target " + outcome.target.toStdString())
                  << ", failed in: " << outcome.phase.toStdString() << "\n";
    }
    // A message that already gave the advice is not repeated.
    const auto advised = [](const std::vector<ReportMessage>& messages) {
        return std::any_of(messages.begin(), messages.end(), [](const ReportMessage& message) {
            return message.text.contains("\rNext step: ");
        });
    };
    bool shown = advised(report.messages());
    for (const Phase& phase : report.phases()) shown = shown || advised(phase.messages);
    if (shown && !quiet) return;
    const FailureAdvice advice = report.advice();
    std::cerr << "state: " << advice.state.toStdString() << "\n"
              << "next step: " << advice.nextStep.toStdString() << std::endl;
}

void printResult(CliSession& session, DriverContext& context, const Job& job, int code) {
    const RunReport& report = context.report();
    const CommonOptions& options = session.options();
    if (code == kExitDone && !report.dryRun() && !options.json && job.changed &&
        options.ui.verbosity != Verbosity::Quiet) {
        std::cout << job.changed(context.state().Inventory) << std::endl;
    }
    if (options.json) {
        QJsonObject json = report.toJson();
        json["exitCode"] = code;
        const QString text = context.messages().CollectedMessages;
        if (!text.isEmpty()) json["reportText"] = QString(text).replace('\r', '\n');
        std::cout << QJsonDocument(json).toJson(QJsonDocument::Indented).toStdString()
                  << std::flush;
    } else if (report.dryRun()) {
        printPlan(report);
        const QString text = context.messages().CollectedMessages;
        if (!text.isEmpty()) std::cout << TerminalText(text) << std::endl;
    } else if (code != kExitDone && report.failed()) {
        printFailure(report, session.options().ui.verbosity == Verbosity::Quiet);
    }
}

}  // namespace

void PrintError(const std::string& text) { std::cerr << "quorvel-cli: " << text << std::endl; }

int RunJob(const CommonOptions& common, const Job& job) {
    CliSession session(common);
    session.ui().setReportsToStderr(common.json);
    if (!session.start()) return kExitFailed;
    ProgramState& state = session.shell().state();
    if (job.needsDownloadDirectory && !QFileInfo(state.DownloadDirectory).isDir()) {
        session.ui().error("the download directory " + state.DownloadDirectory.toStdString() +
                           " does not exist; set \"DownloadPath\" in the settings or name one "
                           "with --download-dir.");
        return kExitFailed;
    }
    if (job.scanFirst) {
        if (const auto failure = session.scan()) return *failure;
    }
    DriverContext context(session.shell());
    context.dryRun = common.dryRun;
    context.selection.amplifierSlots = job.amplifierSlots;
    CommandDispatcher dispatcher(context);
    RegisterShellCommands(dispatcher);
    RegisterAmplifierCommands(dispatcher);
    RegisterProcessorAndPanelCommands(dispatcher);
    // A driver that ran may have recorded a failure its own result does not show (download-all).
    const int ran = job.run(context, dispatcher, session);
    if (context.report().result() == 0) context.report().setResult(ran);
    const int result = context.report().result();
    const int code = exitCode(session, job, result);
    printResult(session, context, job, code);
    return code;
}

namespace {

// "slots 1 (RA51), 4 (RA51)" for the line that says what changed.
std::string changedSlots(const DeviceInventory& inventory, const std::vector<int>& amplifierSlots) {
    return SlotsWithTypes(inventory, amplifierSlots).toStdString();
}

// A slot argument of a command that takes several, checked before anything is sent.
std::optional<std::vector<int>> slotsOrError(const std::string& text) {
    const ParsedSlots parsed = ParseSlots(text);
    if (!parsed.error.empty()) {
        PrintError(parsed.error);
        return std::nullopt;
    }
    return parsed.amplifierSlots;
}

}  // namespace

bool WritablePath(const std::string& path, const std::string& option) {
    const QFileInfo info(QString::fromStdString(path));
    const QFileInfo directory(info.absolutePath());
    if (path.empty() || info.isDir() || !directory.isDir() || !directory.isWritable()) {
        PrintError(option + " " + path + " cannot be written: give a file in an existing, " +
                   "writable directory.");
        return false;
    }
    return true;
}

namespace {

QString absolute(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath();
}

}  // namespace

// The firmware the command line chose: the entry named by --firmware (it must be one the list
// offers), else the list's default.
FirmwareChooser CommandLineChooser(CliSession& session, std::optional<std::string> name) {
    return [&session, name](const FirmwareTarget& target,
                            bool quiet) -> std::optional<FirmwareChoice> {
        ProgramState& state = session.shell().state();
        const FirmwareList list = OpenFirmwareList(state, target);
        std::optional<int> row;
        const std::string slot = std::to_string(target.slot + 1);
        if (name && !quiet) {
            QStringList offered;
            for (size_t i = 0; i < list.entries.size(); ++i) {
                offered << list.entries[i].key;
                if (list.entries[i].key.compare(QString::fromStdString(*name),
                                                Qt::CaseInsensitive) == 0)
                    row = static_cast<int>(i);
            }
            if (!row) {
                session.ui().error("firmware " + *name + " is not offered for slot " + slot +
                                   "; offered: " +
                                   (offered.isEmpty() ? "none" : offered.join(", ").toStdString()) +
                                   " (see: quorvel-cli firmware list --slot " + slot + ")");
            }
        } else if (list.defaultRow >= 0) {
            row = list.defaultRow;
            if (!quiet) {
                session.ui().note("firmware " + list.entries[*row].key.toStdString() +
                                  " (the default; choose another with --firmware)");
            }
        } else if (!quiet) {
            session.ui().error("no firmware for slot " + slot + ": " +
                               list.messages.join(" ").toStdString());
        }
        StoreFirmwareChoice(state, list, row);
        return StoredFirmwareChoice(state);
    };
}

namespace {

// The flash of every selected slot into `directory`, after the download's plan was accepted and
// before its first byte. Each upload runs as its own operation; the download's report gets one
// phase for the backup. A dry run only records the files it would write.
int backupFlash(DriverContext& context, const std::vector<int>& amplifierSlots,
                const QString& directory) {
    QStringList files;
    for (const int slot : amplifierSlots) {
        const SlotRecord& record = context.state().Inventory.slotRecords[slot];
        files << QDir(directory).filePath(ProposedUploadName(record, false));
    }
    if (context.dryRun) {
        context.report().beginPhase(phase::kBackup, Outcome::Planned).details << files;
        return 0;
    }
    RunReport download = context.report();
    for (size_t i = 0; i < amplifierSlots.size(); ++i) {
        const int slot = amplifierSlots[i];
        context.startReport("backup slot " + QString::number(slot + 1));
        const int result = UploadAmplifierFlash(context, {{slot}, false, files[i], true});
        const QString problem = context.report().problem();
        context.restoreReport(download);
        Phase& phase = context.report().beginPhase(phase::kBackup);
        phase.details << files[i];
        if (result == 0) continue;
        if (!problem.isEmpty()) context.report().addMessage(ReportMessage::Kind::Error, problem);
        context.report().failPhase();
        context.ShowMessage(
            "Backup of slot " + QString::number(slot + 1) + " failed; nothing was downloaded.",
            kIconStop);
        return result;
    }
    return 0;
}

}  // namespace

ParsedSlots ParseSlots(const std::string& text) {
    ParsedSlots parsed;
    std::set<int> amplifierSlots;
    const QStringList parts = QString::fromStdString(text).split(',', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool number = false;
        const int slot = part.trimmed().toInt(&number);
        if (!number || slot < 1 || slot > 16) {
            parsed.error = "slot \"" + part.trimmed().toStdString() +
                           "\" is not a slot number 1-16 (--slots 2,5)";
            return parsed;
        }
        amplifierSlots.insert(slot - 1);
    }
    if (amplifierSlots.empty())
        parsed.error = "no slot given: name the slots with --slots, for example 2,5";
    parsed.amplifierSlots.assign(amplifierSlots.begin(), amplifierSlots.end());
    return parsed;
}

int RunDownload(const CommonOptions& common, const DriverOptions& options) {
    const auto amplifierSlots = slotsOrError(options.amplifierSlots);
    if (!amplifierSlots) return kExitFailed;
    if (options.backup) {
        const QFileInfo backup(QString::fromStdString(*options.backup));
        if (!backup.isDir() || !backup.isWritable()) {
            PrintError("--backup " + *options.backup +
                       " is not a writable directory; nothing was sent to the rack.");
            return kExitFailed;
        }
    }
    Job job;
    job.amplifierSlots = *amplifierSlots;
    job.needsDownloadDirectory = true;
    job.run = [&options](DriverContext& context, CommandDispatcher& dispatcher,
                         CliSession& session) {
        ProgramState& state = context.state();
        state.IncludeLoader1 = state.IncludeLoader1 || options.includeLoader1;
        state.OnlyLoader1 = options.onlyLoader1;
        state.SequentialDownload = state.SequentialDownload || options.sequential;
        context.chooseFirmware = CommandLineChooser(session, options.firmware);
        if (options.backup) {
            const QString directory = absolute(*options.backup);
            context.beforeRun = [&context, directory](const std::vector<int>& planned) {
                return backupFlash(context, planned, directory);
            };
        }
        const char* command = options.iec            ? menu::kDownloadIec
                              : options.activateOnly ? menu::kActivateAmplifiers
                                                     : menu::kDownload;
        return dispatcher.dispatch(command);
    };
    return RunJob(common, job);
}

int RunUpdateAll(const CommonOptions& common) {
    Job job;
    job.needsDownloadDirectory = true;
    job.scanFirst = false;  // download-all scans the rack itself
    job.nothingToDo = DownloadAll::kNothingToDo;
    job.run = [](DriverContext&, CommandDispatcher& dispatcher, CliSession&) {
        return dispatcher.dispatch(menu::kUpdateAll);
    };
    return RunJob(common, job);
}

int RunUpload(const CommonOptions& common, const DriverOptions& options) {
    const auto amplifierSlots = slotsOrError(options.amplifierSlots);
    if (!amplifierSlots) return kExitFailed;
    if (options.what != "flash" && options.what != "eeprom") {
        PrintError("upload what? \"flash\" or \"eeprom\"");
        return kExitFailed;
    }
    if (!WritablePath(options.output, "--output")) return kExitFailed;
    Job job;
    job.amplifierSlots = *amplifierSlots;
    job.needsDownloadDirectory = options.what == "flash";
    const QString output = absolute(options.output);
    job.run = [&options, output](DriverContext& context, CommandDispatcher& dispatcher,
                                 CliSession&) {
        context.startReport(options.what == "flash" ? "upload flash" : "upload EEPROM");
        if (options.what == "eeprom")
            return UploadAmplifierEeprom(context, context.selection.amplifierSlots, output);
        (void)dispatcher;
        return UploadAmplifierFlash(context,
                                    {context.selection.amplifierSlots, options.iec, output, false});
    };
    return RunJob(common, job);
}

int RunMode(const CommonOptions& common, const DriverOptions& options) {
    const auto amplifierSlots = slotsOrError(options.amplifierSlots);
    if (!amplifierSlots) return kExitFailed;
    Job job;
    job.amplifierSlots = *amplifierSlots;
    const bool rc = options.what == "rc";
    job.run = [rc](DriverContext&, CommandDispatcher& dispatcher, CliSession&) {
        return dispatcher.dispatch(rc ? menu::kSwitchToRc : menu::kSwitchToRa);
    };
    job.changed = [rc, chosen = *amplifierSlots](const DeviceInventory& inventory) {
        return changedSlots(inventory, chosen) + " switched to " + (rc ? "RC" : "RA") +
               " mode; the rack was reset";
    };
    return RunJob(common, job);
}

int RunSubChannels(const CommonOptions& common, const DriverOptions& options) {
    const auto amplifierSlots = slotsOrError(options.amplifierSlots);
    if (!amplifierSlots) return kExitFailed;
    Job job;
    job.amplifierSlots = *amplifierSlots;
    job.run = [&options](DriverContext&, CommandDispatcher& dispatcher, CliSession& session) {
        session.ui().answerNextInput(QString::fromStdString(options.value));
        return dispatcher.dispatch(menu::kSubChannels);
    };
    job.changed = [&options, chosen = *amplifierSlots](const DeviceInventory& inventory) {
        return "sub-channel count of " + changedSlots(inventory, chosen) + " set to " +
               options.value + "; the rack was reset";
    };
    return RunJob(common, job);
}

int RunBaudReset(const CommonOptions& common) {
    Job job;
    job.scanFirst = false;
    job.run = [](DriverContext&, CommandDispatcher& dispatcher, CliSession&) {
        return dispatcher.dispatch(menu::kInterfaceBaudRate);
    };
    job.changed = [](const DeviceInventory&) -> std::string {
        return "interface baud rate set to 19200 baud, even parity";
    };
    return RunJob(common, job);
}

int RunResetLoader1(const CommonOptions& common, const DriverOptions& options) {
    const auto amplifierSlots = slotsOrError(options.amplifierSlots);
    if (!amplifierSlots) return kExitFailed;
    if (amplifierSlots->size() != 1) {
        PrintError("reset-loader1 works on one slot: give --slot N");
        return kExitFailed;
    }
    Job job;
    job.amplifierSlots = *amplifierSlots;
    job.run = [](DriverContext&, CommandDispatcher& dispatcher, CliSession&) {
        return dispatcher.dispatch(menu::kResetLoader1);
    };
    job.changed = [chosen = *amplifierSlots](const DeviceInventory& inventory) {
        return "loader 1 of " + changedSlots(inventory, chosen) + " reset";
    };
    return RunJob(common, job);
}

int RunClearNames(const CommonOptions& common, const DriverOptions& options) {
    const auto amplifierSlots = slotsOrError(options.amplifierSlots);
    if (!amplifierSlots) return kExitFailed;
    Job job;
    job.amplifierSlots = *amplifierSlots;
    job.run = [](DriverContext&, CommandDispatcher& dispatcher, CliSession&) {
        return dispatcher.dispatch(menu::kClearChannelNames);
    };
    job.changed = [chosen = *amplifierSlots](const DeviceInventory& inventory) {
        return "channel names of " + changedSlots(inventory, chosen) + " cleared";
    };
    return RunJob(common, job);
}

int RunReset(const CommonOptions& common) {
    Job job;
    job.scanFirst = false;
    job.run = [](DriverContext&, CommandDispatcher& dispatcher, CliSession&) {
        return dispatcher.dispatch(menu::kResetRack);  // the reset names its own report
    };
    job.changed = [](const DeviceInventory&) -> std::string { return "rack reset"; };
    return RunJob(common, job);
}

}  // namespace quorvel::cli
