#include "operator/cli/scan_command.h"

#include <iostream>

#include "operator/cli/exit_codes.h"
#include "operator/cli/inventory_report.h"
#include "operator/cli/rack_session.h"

namespace quorvel::cli {
namespace {

void printInventory(const ProgramState& state, bool json) {
    const RackStatus status = DecideRackStatus(state);
    if (json) {
        std::cout << InventoryJson(state.Inventory, status).dump(2) << std::endl;
    } else {
        std::cout << InventoryTable(state.Inventory, status) << std::flush;
    }
}

}  // namespace

int RunScan(const CommonOptions& common, const ScanOptions& scan) {
    CliUi ui(common.ui);
    RackSession session(common, ui);
    if (const auto failed = session.open()) return *failed;
    if (const auto failed = session.scan()) return *failed;
    const DeviceInventory& inventory = session.shell().state().Inventory;
    printInventory(session.shell().state(), scan.json || common.json);
    if (inventory.processor.Identity == "not detected") {
        ui.error("no communication processor answered its identification; check the rack.");
        return kExitNoRack;
    }
    if (session.outcome() == ScanOutcome::ProcessorOnly) {
        ui.note("the processor runs its boot loader; panel and slots were not scanned.");
    }
    return kExitDone;
}

}  // namespace quorvel::cli
