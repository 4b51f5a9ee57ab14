#pragma once
// quorvel-cli's subcommands for the processor, the panel and the NodePods: each runs its driver
// over a scanned rack, with the command line's choices in place of lists and questions.
#include <optional>
#include <string>

#include "operator/cli/cli_session.h"

namespace quorvel::cli {

struct DeviceOptions {
    std::optional<std::string> directory;  // processor firmware directory
    std::optional<std::string> function;   // function of the directory's function file
    std::optional<std::string> firmware;   // panel or NodePod firmware file
    std::string output;                    // KX33 upload file
    std::string serialNumber;              // panel bootstrap
    std::string hardwareRevision;
    int slot = 0;       // RA56 slot 1-16
    std::string nodes;  // "2,4" or "all"
    bool onlyLoader1 = false;
};

enum class ProcessorAction { Download, Loader1, Activate };
enum class PanelAction { Download, Loader1, Activate, Bootstrap };

int RunProcessorCommand(const CommonOptions& common, const DeviceOptions& options,
                        ProcessorAction action);
int RunKx33Upload(const CommonOptions& common, const DeviceOptions& options);
int RunPanelCommand(const CommonOptions& common, const DeviceOptions& options, PanelAction action);
int RunNodePodScan(const CommonOptions& common, const DeviceOptions& options);
int RunNodePodDownload(const CommonOptions& common, const DeviceOptions& options);

}  // namespace quorvel::cli
