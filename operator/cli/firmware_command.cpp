#include "operator/cli/firmware_command.h"

#include <QDir>
#include <iostream>

#include "operator/cli/exit_codes.h"
#include "operator/cli/firmware_report.h"
#include "operator/cli/rack_session.h"
#include "operator/drivers/device_selection.h"

namespace quorvel::cli {
namespace {

// Bad input is refused before anything is sent to the rack.
std::optional<std::string> checkOptions(const FirmwareListOptions& o) {
    const int devices = (o.slot ? 1 : 0) + (o.processor ? 1 : 0) + (o.panel ? 1 : 0);
    if (devices != 1) return "name one device: --slot N (1-16), --processor or --panel";
    if (o.slot && (*o.slot < 1 || *o.slot > DeviceInventory::kSlots)) {
        return "--slot " + std::to_string(*o.slot) + " is not a slot; the rack has slots 1-16";
    }
    if (o.directory && !QDir(QString::fromStdString(*o.directory)).exists()) {
        return "the download directory " + *o.directory + " does not exist (--dir)";
    }
    return std::nullopt;
}

bool tickDevice(DeviceSelection& selection, const FirmwareListOptions& o) {
    if (o.processor) return selection.setProcessorTicked(true);
    if (o.panel) return selection.setPanelTicked(true);
    return selection.setSlotTicked(*o.slot - 1, true);
}

std::string deviceName(const FirmwareListOptions& o) {
    if (o.processor) return "the processor";
    if (o.panel) return "the panel";
    return "slot " + std::to_string(*o.slot);
}

}  // namespace

int RunFirmwareList(const CommonOptions& common, const FirmwareListOptions& options) {
    CliUi ui(common.ui);
    if (const auto problem = checkOptions(options)) {
        ui.error(*problem);
        return kExitFailed;
    }
    RackSession session(common, ui);
    if (const auto failed = session.open()) return *failed;
    ProgramState& state = session.shell().state();
    if (options.directory) state.DownloadDirectory = QString::fromStdString(*options.directory);
    if (!QDir(state.DownloadDirectory).exists() || state.DownloadDirectory.isEmpty()) {
        ui.error("the download directory \"" + state.DownloadDirectory.toStdString() +
                 "\" does not exist; name one with --dir");
        return kExitFailed;
    }
    if (const auto failed = session.scan()) return *failed;

    DeviceSelection selection(state);
    if (!tickDevice(selection, options)) {
        ui.error(deviceName(options) + " holds no device the scan found");
        return kExitNoRack;
    }
    const FirmwareList list = OpenFirmwareList(state, DetermineFirmwareTarget(selection, state));
    if (options.json) {
        std::cout << FirmwareListJson(list).dump(2) << std::endl;
    } else {
        std::cout << FirmwareListTable(list) << std::flush;
    }
    return list.entries.empty() ? kExitNothingToDo : kExitDone;
}

}  // namespace quorvel::cli
