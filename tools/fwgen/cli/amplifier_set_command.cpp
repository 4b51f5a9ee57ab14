// fwgen amplifier-set: fills a download directory with amplifier test firmware of every type.
#include <iostream>
#include <memory>

#include "tools/fwgen/amplifier_set.h"
#include "tools/fwgen/cli/commands.h"

namespace fwgen::cli {

void addAmplifierSetCommand(CLI::App& app) {
    auto directory = std::make_shared<std::string>();
    auto seed = std::make_shared<uint32_t>(1);
    CLI::App* command = app.add_subcommand(
        "amplifier-set", "write application, loader-2 and loader-1 files of every amplifier type");
    command->add_option("--out", *directory, "download directory to fill")->required();
    command->add_option("--seed", *seed, "seed of the firmware bytes");
    command->callback([directory, seed] {
        for (const auto& name : writeAmplifierSet(*directory, *seed)) std::cout << name << '\n';
    });
}

}  // namespace fwgen::cli
