#pragma once
// The fwgen subcommands. A new firmware-set generator adds its own file with one add...Command
// function and one line in main.cpp.
#include <CLI/CLI.hpp>

namespace fwgen::cli {

void addSRecordCommand(CLI::App& app);   // fwgen srec
void addIntelHexCommand(CLI::App& app);  // fwgen ihex
void addRawCommand(CLI::App& app);       // fwgen raw
void addAmplifierSetCommand(CLI::App& app);  // fwgen amplifier-set
void addKx33Command(CLI::App& app);      // fwgen kx33
void addKx43Command(CLI::App& app);      // fwgen kx43
void addNodePodCommand(CLI::App& app);   // fwgen nodepod
void addPanelCommand(CLI::App& app);     // fwgen panel

}  // namespace fwgen::cli
