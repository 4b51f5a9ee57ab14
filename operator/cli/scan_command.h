#pragma once
// quorvel-cli scan: connect, scan the rack, print the inventory.
#include "operator/cli/cli_session.h"

namespace quorvel::cli {

int RunScan(const CommonOptions& common);

// The inventory as a table, or as JSON.
void PrintInventory(const DeviceInventory& inventory, bool json);

}  // namespace quorvel::cli
