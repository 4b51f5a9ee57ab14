#pragma once
// quorvel-cli scan: connect, scan the rack, print the inventory.
#include <optional>
#include <string>

#include "operator/cli/cli_ui.h"
#include "operator/cli/port_options.h"

namespace quorvel::cli {

struct CommonOptions {
    CliUiOptions ui;
    std::string configDirectory;  // where ws.cfg, NodePod.cfg and kx.cfg are
    std::optional<std::string> downloadDirectory;  // instead of the stored one
    PortOverrides port;
    std::optional<std::string> simulate;  // rack file; empty text = the shipped default rack
    std::string mode;                     // start mode: "", "S", "A", "P", "PS", "O"
    bool json = false;                    // results as JSON on stdout
    bool dryRun = false;                  // plan only; nothing is sent
};

struct ScanOptions {
    bool json = false;
};

int RunScan(const CommonOptions& common, const ScanOptions& scan);

}  // namespace quorvel::cli
