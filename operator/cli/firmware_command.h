#pragma once
// quorvel-cli firmware list: the firmware the download would offer for one device.
#include <optional>
#include <string>

#include "operator/cli/scan_command.h"

namespace quorvel::cli {

struct FirmwareListOptions {
    std::optional<int> slot;  // 1-16
    bool processor = false;
    bool panel = false;
    std::optional<std::string> directory;  // instead of the stored download directory
    bool json = false;
};

int RunFirmwareList(const CommonOptions& common, const FirmwareListOptions& options);

}  // namespace quorvel::cli
