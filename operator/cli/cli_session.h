#pragma once
// One run of quorvel-cli against a rack: the terminal UI, the simulated rack when asked for, the
// operator shell started in the chosen mode with the command line's port, and the scan that
// every driver works from.
#include <memory>
#include <optional>
#include <string>

#include "operator/cli/cli_ui.h"
#include "operator/cli/port_options.h"
#include "operator/cli/simulated_rack.h"
#include "operator/shell/operator_shell.h"

namespace quorvel::cli {

struct CommonOptions {
    CliUiOptions ui;
    std::string configDirectory;  // where ws.cfg, NodePod.cfg and kx.cfg are
    PortOverrides port;
    std::optional<std::string> simulate;  // rack file; empty text = the shipped default rack
    std::string mode;                     // start mode: "", "S", "A", "P", "PS", "O"
    bool json = false;
    bool dryRun = false;
};

class CliSession {
  public:
    explicit CliSession(const CommonOptions& common);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Starts the simulation (if asked for) and the shell, applies the port. False: the reason
    // was printed.
    bool start();
    // Scans the rack; nullopt when it was scanned, else the exit code of the failure.
    std::optional<int> scan();
    // True when the last scan got through (the inventory describes the rack).
    bool scanned() const { return scanned_; }
    // Restores the rack's normal operation where a scan left it in its scan state.
    void finish();

    CliUi& ui() { return ui_; }
    OperatorShell& shell() { return *shell_; }
    const CommonOptions& options() const { return common_; }

  private:
    bool choosePort();

    const CommonOptions& common_;
    CliUi ui_;
    std::unique_ptr<SimulatedRack> rack_;
    std::unique_ptr<OperatorShell> shell_;
    bool finished_ = false;
    bool scanned_ = false;
};

}  // namespace quorvel::cli
