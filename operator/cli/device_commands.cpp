#include "operator/cli/device_commands.h"

#include <QDir>
#include <QFileInfo>
#include <iostream>

#include "operator/cli/cli_ui.h"
#include "operator/cli/driver_commands.h"
#include "operator/cli/exit_codes.h"
#include "operator/drivers/function_choice.h"
#include "operator/drivers/menu_commands.h"
#include "operator/drivers/nodepod_window.h"
#include "operator/drivers/panel_driver.h"
#include "operator/drivers/processor_driver.h"
#include "operator/shell/program_version.h"

namespace quorvel::cli {
namespace {

QString offeredText(const QStringList& offered) {
    return offered.isEmpty() ? "none" : offered.join(", ");
}

// The firmware names the list for `target` offers.
QStringList offeredFirmware(ProgramState& state, const FirmwareTarget& target) {
    QStringList names;
    for (const auto& entry : OpenFirmwareList(state, target).entries) names << entry.key;
    return names;
}

// `name` when the list offers it, else the list's only entry; nullopt (with the error printed,
// naming what is offered) otherwise.
std::optional<QString> offeredName(const QStringList& offered,
                                   const std::optional<std::string>& name, const std::string& what,
                                   const std::string& option) {
    if (name) {
        for (const QString& entry : offered)
            if (entry.compare(QString::fromStdString(*name), Qt::CaseInsensitive) == 0)
                return entry;
        PrintError(what + " " + *name +
                   " is not offered; offered: " + offeredText(offered).toStdString());
        return std::nullopt;
    }
    if (offered.size() == 1) return offered.front();
    PrintError("choose the " + what + " with " + option +
               "; offered: " + offeredText(offered).toStdString());
    return std::nullopt;
}

// The function the processor's firmware directory offers under `name` (or the loader-1 download,
// or its only function). Empty when the file offers none: the driver then says why.
std::optional<QString> processorFunction(const ProgramState& state, const QString& directory,
                                         const DeviceOptions& options, ProcessorAction action) {
    const QString& type = state.Inventory.processor.ProcessorType;
    const bool kx33 = type == "KX33";
    const FunctionFile file =
        ReadFunctionFile(QDir(state.DownloadDirectory).filePath(directory), directory,
                         kx33 ? "KX33.CFG" : ProcessorFunctionFileName(type),
                         kx33 ? FunctionFileKind::Kx33 : FunctionFileKind::Processor);
    const QStringList offered = OfferedFunctions(file, state.StartMode, kProgramVersion);
    if (offered.isEmpty()) return QString();
    if (action == ProcessorAction::Loader1 && !options.function)
        for (const QString& name : offered)
            if (name.contains("loader1", Qt::CaseInsensitive)) return name;
    return offeredName(offered, options.function, "function", "--function");
}

// Refusals are errors the command line always shows, also with -q: the window shows them as
// message boxes that the command line otherwise prints as notes.
int showRefusals(DriverContext& context, const CliSession& session, int result) {
    if (result != kOperationDeclined || session.options().ui.verbosity != Verbosity::Quiet)
        return result;
    for (const ReportMessage& message : context.report().messages())
        if (message.kind != ReportMessage::Kind::Information)
            PrintError(TerminalText(message.text));
    return result;
}

// Commands the window offers only in a service start (start modes S, A and P).
bool offeredInStartMode(const CommonOptions& common, const std::string& command) {
    if (common.mode == "S" || common.mode == "A" || common.mode == "P") return true;
    PrintError(command + " is offered only in a service start: add --mode S");
    return false;
}

int processorJob(DriverContext& context, CommandDispatcher& dispatcher, CliSession& session,
                 const DeviceOptions& options, ProcessorAction action) {
    context.selection.processor = true;
    if (action == ProcessorAction::Activate) return dispatcher.dispatch(menu::kActivateProcessor);
    ProgramState& state = session.shell().state();
    // Types the driver refuses are refused before any firmware directory is looked at.
    const QString& type = state.Inventory.processor.ProcessorType;
    if (type == "KX13" || type == "not supported")
        return showRefusals(context, session, dispatcher.dispatch(menu::kDownload));
    const auto directory =
        offeredName(offeredFirmware(state, {FirmwareDeviceKind::Processor, -1, {}}),
                    options.directory, "directory", "--directory");
    if (!directory) return kOperationDeclined;
    const auto function = processorFunction(state, *directory, options, action);
    if (!function) return kOperationDeclined;
    context.chooseFirmware = CommandLineChooser(session, directory->toStdString());
    if (!function->isEmpty()) session.ui().answerNextChoice(*function);
    return showRefusals(context, session,
                        dispatcher.dispatch(action == ProcessorAction::Loader1 ? menu::kKx43Loader1
                                                                               : menu::kDownload));
}

const char* panelCommand(PanelAction action) {
    switch (action) {
        case PanelAction::Loader1:
            return menu::kPanelLoader1;
        case PanelAction::Activate:
            return menu::kActivatePanel;
        default:
            return menu::kDownload;
    }
}

int panelJob(DriverContext& context, CommandDispatcher& dispatcher, CliSession& session,
             const DeviceOptions& options, PanelAction action) {
    context.selection.panel = true;
    ProgramState& state = session.shell().state();
    const FirmwareTarget target{action == PanelAction::Loader1 ? FirmwareDeviceKind::PanelLoader1
                                                               : FirmwareDeviceKind::Panel,
                                -1,
                                {}};
    const auto firmware =
        offeredName(offeredFirmware(state, target), options.firmware, "firmware", "--firmware");
    if (!firmware) return kOperationDeclined;
    context.chooseFirmware = CommandLineChooser(session, firmware->toStdString());
    if (action != PanelAction::Bootstrap)
        return showRefusals(context, session, dispatcher.dispatch(panelCommand(action)));
    state.Inventory.panel.Identity = "not detected";
    return showRefusals(
        context, session,
        RunPanelBootstrapDriver(context, {QString::fromStdString(options.serialNumber),
                                          QString::fromStdString(options.hardwareRevision)}));
}

// The node entries named by --nodes ("all": every node that can be chosen); nullopt with the
// error printed naming the nodes that can be.
std::optional<std::vector<int>> chosenNodes(const NodePodWindow& window, const std::string& text) {
    QStringList offered;
    for (size_t i = 0; i < window.nodes().size(); ++i)
        if (window.box(static_cast<int>(i)).enabled)
            offered << QString::number(window.nodes()[i].nodeId);
    std::vector<int> entries;
    const QStringList wanted =
        text == "all" ? offered : QString::fromStdString(text).split(',', Qt::SkipEmptyParts);
    for (const QString& id : wanted) {
        const qsizetype at = offered.indexOf(id.trimmed());
        if (at < 0) {
            PrintError("node " + id.trimmed().toStdString() +
                       " cannot be chosen; nodes offered: " + offeredText(offered).toStdString());
            return std::nullopt;
        }
        for (size_t i = 0; i < window.nodes().size(); ++i)
            if (QString::number(window.nodes()[i].nodeId) == offered[at])
                entries.push_back(static_cast<int>(i));
    }
    if (entries.empty())
        PrintError("no node to download; nodes offered: " + offeredText(offered).toStdString());
    if (entries.empty()) return std::nullopt;
    return entries;
}

void printNodes(const NodePodWindow& window) {
    for (size_t i = 0; i < window.nodes().size(); ++i) {
        const NodePodNode& n = window.nodes()[i];
        std::cout << "node " << n.nodeId << ": " << n.caption(static_cast<int>(i) + 1).toStdString()
                  << (n.supported() ? "" : " (type not supported)")
                  << (window.box(static_cast<int>(i)).enabled ? "" : " (cannot be chosen)") << "\n";
    }
    std::cout << std::flush;
    if (window.nothingFound()) PrintError(NodePodWindow::kNotFoundText);
}

// The warning after a failed NodePod download: the command resets the rack as it ends.
const QString kLeftInLoaderHere =
    "NODEPOD may be left in bootloader state!\rThe rack is reset as this command ends (should "
    "that fail: quorvel-cli reset);\rif a NODEPOD still does not answer, switch Ventrix and "
    "NODEPOD(s) off and on\rand run quorvel-cli nodepod download again!";

// The NodePod commands' result when the slot holds no RA56 or no node answered (exit code 3).
constexpr int kNoDeviceFound = -904;

// An RA56 slot 1-16 as 0-15, else the result to end with (the error printed).
struct Ra56Slot {
    std::optional<int> slot;
    int refusal = 0;
};

Ra56Slot ra56Slot(const ProgramState& state, int slot) {
    if (slot < 1 || slot > DeviceInventory::kSlots) {
        PrintError("--slot " + std::to_string(slot) + " is not a slot number 1-16");
        return {std::nullopt, kOperationDeclined};
    }
    if (state.Inventory.slotRecords[slot - 1].IdentifiedType != "RA56") {
        PrintError("slot " + std::to_string(slot) + " holds no RA56");
        return {std::nullopt, kNoDeviceFound};
    }
    return {slot - 1};
}

// A dry run sends nothing but the rack scan: the nodes behind an RA56 answer only after it was
// switched into its download mode, which the rack's reset ends. Without --yes the plan says so
// and lists what the inventory and the download directory tell. The command's result then, else
// nullopt: the nodes may be scanned.
std::optional<int> planWithoutNodes(DriverContext& context, const CommonOptions& common,
                                    CliSession& session, int slot, const DeviceOptions& options) {
    if (!context.dryRun || common.ui.assumeYes) return std::nullopt;
    const QStringList offered = offeredFirmware(
        session.shell().state(),
        {options.onlyLoader1 ? FirmwareDeviceKind::NodePodLoader1 : FirmwareDeviceKind::NodePod,
         -1,
         {}});
    if (options.firmware && !offeredName(offered, options.firmware, "firmware", "--firmware"))
        return kOperationDeclined;
    Phase& phase = context.report().beginPhase("nodes", Outcome::Planned);
    phase.details << "RA56 in slot " + QString::number(slot + 1)
                  << "not scanned: the nodes answer only after the RA56 was switched into its "
                     "download mode, and the rack is reset afterwards; add --yes to scan them";
    phase.details << "firmware offered: " + offeredText(offered);
    return 0;
}

int nodePodDownload(CliSession& session, NodePodWindow& window, const DeviceOptions& options) {
    if (window.nothingFound()) {
        PrintError(NodePodWindow::kNotFoundText);
        return kNoDeviceFound;
    }
    const auto entries = chosenNodes(window, options.nodes);
    if (!entries) return kOperationDeclined;
    for (const int entry : *entries) window.setTicked(entry, true);
    // A node of a type this program does not know has no firmware to offer: the download says so.
    for (const int entry : *entries)
        if (!window.nodes()[static_cast<size_t>(entry)].supported())
            return window.download(QString(), options.onlyLoader1);
    ProgramState& state = session.shell().state();
    state.OnlyLoader1 = options.onlyLoader1;
    const FirmwareTarget target{
        options.onlyLoader1 ? FirmwareDeviceKind::NodePodLoader1 : FirmwareDeviceKind::NodePod, -1,
        window.tickedStem()};
    const auto firmware =
        offeredName(offeredFirmware(state, target), options.firmware, "firmware", "--firmware");
    if (!firmware) return kOperationDeclined;
    return window.download(*firmware, options.onlyLoader1);
}

}  // namespace

int RunProcessorCommand(const CommonOptions& common, const DeviceOptions& options,
                        ProcessorAction action) {
    if (action == ProcessorAction::Loader1 && !offeredInStartMode(common, "processor loader1"))
        return kExitFailed;
    Job job;
    job.needsDownloadDirectory = action != ProcessorAction::Activate;
    job.run = [&options, action](DriverContext& context, CommandDispatcher& dispatcher,
                                 CliSession& session) {
        return processorJob(context, dispatcher, session, options, action);
    };
    return RunJob(common, job);
}

int RunKx33Upload(const CommonOptions& common, const DeviceOptions& options) {
    if (!offeredInStartMode(common, "kx33 upload")) return kExitFailed;
    if (!WritablePath(options.output, "--output")) return kExitFailed;
    Job job;
    job.run = [&options](DriverContext& context, CommandDispatcher& dispatcher,
                         CliSession& session) {
        if (session.shell().state().Inventory.processor.ProcessorType != "KX33") {
            PrintError("the rack's processor is no KX33");
            return kOperationDeclined;
        }
        context.selection.processor = true;
        session.ui().answerNextSaveFile(
            QFileInfo(QString::fromStdString(options.output)).absoluteFilePath());
        return dispatcher.dispatch(menu::kUploadKx33);
    };
    return RunJob(common, job);
}

int RunPanelCommand(const CommonOptions& common, const DeviceOptions& options, PanelAction action) {
    if ((action == PanelAction::Loader1 && !offeredInStartMode(common, "panel loader1")) ||
        (action == PanelAction::Bootstrap && !offeredInStartMode(common, "panel bootstrap")))
        return kExitFailed;
    Job job;
    job.needsDownloadDirectory = true;
    // A panel in its bootstrap mode stays silent and fails every scan: the bootstrap needs no
    // inventory, only the serial line.
    job.scanFirst = action != PanelAction::Bootstrap;
    job.run = [&options, action](DriverContext& context, CommandDispatcher& dispatcher,
                                 CliSession& session) {
        return panelJob(context, dispatcher, session, options, action);
    };
    return RunJob(common, job);
}

int RunNodePodScan(const CommonOptions& common, const DeviceOptions& options) {
    Job job;
    job.noDevice = kNoDeviceFound;
    job.run = [&options, &common](DriverContext& context, CommandDispatcher&, CliSession& session) {
        const Ra56Slot ra56 = ra56Slot(session.shell().state(), options.slot);
        if (!ra56.slot) return ra56.refusal;
        context.startReport("nodepod scan");
        if (const auto planned = planWithoutNodes(context, common, session, *ra56.slot, options))
            return *planned;
        NodePodWindow window(context, session.ui(), *ra56.slot);
        window.scan();
        window.close();
        if (common.json) {
            Phase& phase = context.report().beginPhase("nodes");
            for (size_t i = 0; i < window.nodes().size(); ++i)
                phase.details << "node " + QString::number(window.nodes()[i].nodeId) + ": " +
                                     window.nodes()[i].caption(static_cast<int>(i) + 1);
        } else {
            printNodes(window);
        }
        return window.nothingFound() ? kNoDeviceFound : 0;
    };
    return RunJob(common, job);
}

int RunNodePodDownload(const CommonOptions& common, const DeviceOptions& options) {
    if (options.onlyLoader1 && !offeredInStartMode(common, "nodepod download --only-loader1"))
        return kExitFailed;
    Job job;
    job.needsDownloadDirectory = true;
    job.noDevice = kNoDeviceFound;
    job.run = [&options, &common](DriverContext& context, CommandDispatcher&, CliSession& session) {
        const Ra56Slot ra56 = ra56Slot(session.shell().state(), options.slot);
        if (!ra56.slot) return ra56.refusal;
        context.startReport("nodepod download");
        if (const auto planned = planWithoutNodes(context, common, session, *ra56.slot, options))
            return *planned;
        NodePodWindow window(context, session.ui(), *ra56.slot);
        window.setLeftInLoaderText(kLeftInLoaderHere);
        window.scan();
        const int result = nodePodDownload(session, window, options);
        window.close();
        return result;
    };
    return RunJob(common, job);
}

}  // namespace quorvel::cli
