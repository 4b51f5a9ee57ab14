// fwgen: writes test firmware files.
#include <exception>
#include <iostream>

#include "tools/fwgen/cli/commands.h"

int main(int argc, char** argv) {
    CLI::App app{"fwgen: test firmware writer"};
    app.require_subcommand(1);
    fwgen::cli::addSRecordCommand(app);
    fwgen::cli::addIntelHexCommand(app);
    fwgen::cli::addRawCommand(app);
    fwgen::cli::addAmplifierSetCommand(app);
    fwgen::cli::addKx33Command(app);
    fwgen::cli::addKx43Command(app);
    fwgen::cli::addNodePodCommand(app);
    fwgen::cli::addPanelCommand(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    } catch (const std::exception& error) {
        std::cerr << "fwgen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
