#include "operator/cli/cli_session.h"

#include "operator/cli/exit_codes.h"

namespace quorvel::cli {

std::optional<int> CliSession::scan() {
    if (const auto failed = rack_.scan()) return failed;
    if (shell().state().Inventory.processor.Identity == "not detected") {
        ui_.error("no communication processor answered its identification; check the rack.");
        return kExitNoRack;
    }
    return std::nullopt;
}

}  // namespace quorvel::cli
