#pragma once
// A command's way to the rack: the simulated rack when asked for, the operator shell on the
// chosen port, the scan, and the shell's shutdown when the command ends.
#include <memory>
#include <optional>

#include "operator/cli/cli_ui.h"
#include "operator/cli/scan_command.h"
#include "operator/cli/simulated_firmware.h"
#include "operator/cli/simulated_rack.h"
#include "operator/shell/operator_shell.h"

namespace quorvel::cli {

class RackSession {
public:
    RackSession(const CommonOptions& common, CliUi& ui);
    ~RackSession();
    RackSession(const RackSession&) = delete;
    RackSession& operator=(const RackSession&) = delete;

    // Starts the simulated rack with its test firmware as the download directory (with
    // --simulate) and the shell on the chosen port; nullopt
    // when ready, else the exit code (the error is printed).
    std::optional<int> open();
    // Scans the rack; nullopt when the inventory can be used, else the exit code.
    std::optional<int> scan();
    ScanOutcome outcome() const { return outcome_; }

    OperatorShell& shell() { return *shell_; }

private:
    const CommonOptions& common_;
    CliUi& ui_;
    std::unique_ptr<SimulatedRack> rack_;
    std::unique_ptr<SimulatedFirmware> firmware_;
    std::unique_ptr<OperatorShell> shell_;
    bool started_ = false;
    ScanOutcome outcome_ = ScanOutcome::ConnectionFailed;
};

}  // namespace quorvel::cli
