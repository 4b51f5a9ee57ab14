// fwgen panel: panel firmware for both flash layouts and the bootstrap files.
#include <iostream>
#include <memory>

#include "tools/fwgen/cli/commands.h"
#include "tools/fwgen/panel_firmware.h"

namespace fwgen::cli {

void addPanelCommand(CLI::App& app) {
    auto directory = std::make_shared<std::string>(".");
    CLI::App* command =
        app.add_subcommand("panel",
                           "write panel applications, a loader I with their .LD2/.LP2 companions, "
                           "Load.h67, Prog.h67 and STRAPPER.CFG");
    command->add_option("--dir", *directory, "download directory")->check(CLI::ExistingDirectory);
    command->callback([directory] {
        const auto set = writePanelFirmware(*directory);
        std::cout << set.largeApplication << '\n'
                  << set.smallApplication << '\n'
                  << set.loaderI << '\n'
                  << set.strapperConfig << '\n';
    });
}

}  // namespace fwgen::cli
