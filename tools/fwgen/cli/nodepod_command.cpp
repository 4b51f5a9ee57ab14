// fwgen nodepod: a NodePod firmware set and its type table.
#include <memory>

#include "tools/fwgen/cli/commands.h"
#include "tools/fwgen/nodepod_set.h"

namespace fwgen::cli {

void addNodePodCommand(CLI::App& app) {
    auto set = std::make_shared<NodePodSet>();
    auto directory = std::make_shared<std::string>(".");
    auto withConfig = std::make_shared<bool>(false);
    CLI::App* command =
        app.add_subcommand("nodepod", "write a NodePod application, loader 1 and loader-2 files");
    command->add_option("--dir", *directory, "download directory")->check(CLI::ExistingDirectory);
    command->add_option("--type", set->type.typeNumber, "type number the head reports");
    command->add_option("--stem", set->type.stem, "file name stem of the type");
    command->add_option("--name", set->type.name, "name the application reports");
    command->add_option("--version", set->version, "application version d.dd");
    command->add_option("--loader1-version", set->loader1Version, "loader-1 version");
    command->add_option("--loader2-version", set->loader2Version, "loader-2 version");
    command->add_flag("--config", *withConfig, "also write NodePod.cfg for this type");
    command->callback([set, directory, withConfig] {
        writeNodePodSet(*directory, *set);
        if (*withConfig) writeNodePodConfig(*directory, {set->type});
    });
}

}  // namespace fwgen::cli
