#pragma once
// One run of an acting quorvel-cli command: the terminal UI and the rack session (simulated rack
// when asked for, the operator shell in the chosen start mode on the command line's port, the
// scan every driver works from). The shell shuts down when the session ends.
#include <optional>

#include "operator/cli/cli_ui.h"
#include "operator/cli/rack_session.h"
#include "operator/cli/scan_command.h"

namespace quorvel::cli {

class CliSession {
  public:
    explicit CliSession(const CommonOptions& common)
        : common_(common), ui_(common.ui), rack_(common, ui_) {}

    // Starts the simulation (if asked for) and the shell on the port. False: the reason was
    // printed.
    bool start() { return !rack_.open(); }
    // Scans the rack; nullopt when the inventory can be used, else the exit code.
    std::optional<int> scan();

    CliUi& ui() { return ui_; }
    OperatorShell& shell() { return rack_.shell(); }
    const CommonOptions& options() const { return common_; }

  private:
    const CommonOptions& common_;
    CliUi ui_;
    RackSession rack_;
};

}  // namespace quorvel::cli
