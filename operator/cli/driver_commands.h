#pragma once
// quorvel-cli's acting subcommands: each runs one driver of the operator program over a scanned
// rack, with the command line's choices in place of questions.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "operator/cli/cli_session.h"
#include "operator/drivers/command_dispatcher.h"
#include "operator/drivers/firmware_choice.h"

namespace quorvel::cli {

struct DriverOptions {
    std::string amplifierSlots;  // "2,5": slot numbers 1-16
    std::optional<std::string> firmware;
    bool includeLoader1 = false;
    bool onlyLoader1 = false;
    bool sequential = false;
    bool iec = false;
    bool activateOnly = false;
    std::optional<std::string> backup;  // directory for each module's flash before the download
    std::string output;                 // upload target (flash) or file prefix (EEPROM)
    std::string what;                   // "flash"/"eeprom" for upload, "rc"/"ra" for mode
    std::string value;                  // sub-channel count
};

// Slot numbers 1-16 separated by commas, as slot indexes 0-15 (ascending, no repeats); an
// error text for anything else.
struct ParsedSlots {
    std::vector<int> amplifierSlots;
    std::string error;
};
ParsedSlots ParseSlots(const std::string& text);

// One acting command: the scan first (unless not wanted), then `run` with a driver context whose
// dispatcher knows every driver; the exit code follows the result.
struct Job {
    std::vector<int> amplifierSlots;
    bool scanFirst = true;
    bool needsDownloadDirectory = false;
    std::function<int(DriverContext&, CommandDispatcher&, CliSession&)> run;
    // Driver results besides kNothingToDo and kNoDevice that mean "nothing to do" (exit code 2)
    // and "no device found" (exit code 3); 1 is no driver result.
    int nothingToDo = 1;
    int noDevice = 1;
    // The line printed on stdout after a real run succeeded: what changed on the rack.
    std::function<std::string(const DeviceInventory&)> changed;
};
int RunJob(const CommonOptions& common, const Job& job);

// "quorvel-cli: " + text on stderr.
void PrintError(const std::string& text);
// False (and the error printed, naming `option`) when `path` cannot be written.
bool WritablePath(const std::string& path, const std::string& option);
// The firmware the command line chose: the entry named `name` (it must be one the list offers),
// else the list's default.
FirmwareChooser CommandLineChooser(CliSession& session, std::optional<std::string> name);

int RunDownload(const CommonOptions& common, const DriverOptions& options);
int RunUpdateAll(const CommonOptions& common);
int RunUpload(const CommonOptions& common, const DriverOptions& options);
int RunMode(const CommonOptions& common, const DriverOptions& options);
int RunSubChannels(const CommonOptions& common, const DriverOptions& options);
int RunBaudReset(const CommonOptions& common);
int RunResetLoader1(const CommonOptions& common, const DriverOptions& options);
int RunClearNames(const CommonOptions& common, const DriverOptions& options);
int RunReset(const CommonOptions& common);

}  // namespace quorvel::cli
