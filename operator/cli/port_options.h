#pragma once
// The connection as given on the command line (--port, --baud, --address), applied over the
// stored port settings in memory only, and the advice shown when a connection fails.
#include <QString>
#include <optional>
#include <string>

#include "operator/shell/settings_store.h"

namespace quorvel::cli {

struct PortOverrides {
    std::optional<std::string> port;
    std::optional<int> baud;
    std::optional<std::string> address;
};

// The stored port name for a command-line name: the names of the port dialog, or short ones
// ("com1", "com2-rs485", "tcp", "usb", "gpib", "lpt1"), case ignored. Empty when unknown.
QString PortNameFromOption(const std::string& option);

// Applies the overrides; the address goes to the field of the chosen port kind. Returns an error
// text for an unknown port name.
std::optional<std::string> ApplyPortOverrides(const PortOverrides& overrides, PortSettings& port);

// What to do after OpenConnection failed with `result`, for the operator (names the fix).
std::string ConnectionAdvice(int result, const PortSettings& port, const std::string& detail);

// True when `result` means no rack answered (as opposed to a port that cannot be opened).
bool IsNoAnswer(int result, const PortSettings& port);

}  // namespace quorvel::cli
