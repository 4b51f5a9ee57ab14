#pragma once
// Test firmware for the display and control panel: application and loader-I Intel HEX files with
// their loader-II companions for both flash layouts, and the bootstrap files (first-stage loader,
// programming program, configuration).
#include <cstdint>
#include <string>
#include <vector>

#include "tools/fwgen/fwgen.h"

namespace fwgen {

enum class PanelLayout { Small, Large };  // 256-byte or 512-byte flash sectors

// An application carrying "VTXDV:" + version at 0x100, data over [0, end) with all-zero pieces
// between, so that its highest end address is `end`.
std::vector<Segment> panelApplication(const std::string& version, uint32_t end);
// Loader II at the address the layout's loader I loads it from; names its sector size.
std::vector<Segment> panelLoaderII(PanelLayout layout);
// A loader I for the large layout: data in flash sectors 1021-1023 (0x7FA00-0x7FFFF).
std::vector<Segment> panelLoaderI();
// First-stage loader (32 bytes) and programming program for the controller's bootstrap.
std::vector<Segment> bootstrapFirstStage();
std::vector<Segment> bootstrapProgram(size_t length);

struct PanelFirmwareSet {
    std::string largeApplication;  // DV43A410.S00 + .LD2
    std::string smallApplication;  // DV33A213.S00 + .LP2
    std::string loaderI;           // DV43A100.ld1 + .LD2
    std::string strapperConfig;    // STRAPPER.CFG next to Load.h67 and Prog.h67
};

// Writes the whole set into `directory`; the paths of the main files.
PanelFirmwareSet writePanelFirmware(const std::string& directory);

}  // namespace fwgen
