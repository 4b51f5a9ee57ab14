#include "operator/cli/scan_command.h"

#include <iostream>

#include "operator/cli/exit_codes.h"
#include "operator/cli/inventory_report.h"

namespace quorvel::cli {

void PrintInventory(const DeviceInventory& inventory, bool json) {
    if (json) {
        std::cout << InventoryJson(inventory).dump(2) << std::endl;
    } else {
        std::cout << InventoryTable(inventory) << std::flush;
    }
}

int RunScan(const CommonOptions& common) {
    CliSession session(common);
    if (!session.start()) return kExitFailed;
    const auto failure = session.scan();
    const DeviceInventory inventory = session.shell().state().Inventory;
    session.finish();
    if (session.scanned()) PrintInventory(inventory, common.json);
    if (failure) return *failure;
    if (inventory.processor.InBootLoader) {
        session.ui().note("the processor runs its boot loader; panel and slots were not scanned.");
    }
    return kExitDone;
}

}  // namespace quorvel::cli
