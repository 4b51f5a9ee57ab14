#pragma once
// The fwgen subcommands. A new firmware-set generator adds its own file with one add...Command
// function and one line in main.cpp.
#include <CLI/CLI.hpp>

namespace fwgen::cli {

void addSRecordCommand(CLI::App& app);   // fwgen srec
void addIntelHexCommand(CLI::App& app);  // fwgen ihex
void addRawCommand(CLI::App& app);       // fwgen raw
void addNodePodCommand(CLI::App& app);   // fwgen nodepod

}  // namespace fwgen::cli
