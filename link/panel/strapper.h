#pragma once
// The bootstrap tool: programs a panel whose controller waits in its on-chip bootstrap mode.
#include <optional>
#include <string>

#include "link/channel/channel.h"

namespace quorlink::panel {

struct BootRequest {
    int port = 0;
    std::string configPath;
    std::optional<std::string> programFile;  // appended to the HEX files
    std::optional<std::string> loaderIFile;  // appended before the program file
    std::optional<std::string> serialNumber;
    std::optional<std::string> revisionNumber;
};

// Runs the bootstrap and always ends with the closing bytes and the break pulse. 0 or one of the
// codes of StrapperResult (any other negative code reports "Unbekannter Fehler.").
int bootPanel(Channel& channel, const BootRequest& request);

}  // namespace quorlink::panel
