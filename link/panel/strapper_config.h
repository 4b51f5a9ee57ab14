#pragma once
// The bootstrap tool's configuration file: KEY = value lines.
#include <string>

#include "link/panel/strapper_parameters.h"
#include "link/panel/strapper_report.h"

namespace quorlink::panel {

// Reads the file into `parameters` (a missing file leaves the defaults). Relative file names in
// it are taken relative to the configuration file's folder. 0, -101 syntax, -103 log file not
// created, -107 too many HEX files or free ranges.
int readStrapperConfig(const std::string& path, StrapperParameters& parameters,
                       StrapperReporter& reporter);

// A file name from the configuration or the defaults, relative to the configuration's folder.
std::string resolveNextTo(const std::string& configPath, const std::string& name);

}  // namespace quorlink::panel
