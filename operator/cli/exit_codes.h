#pragma once
// The exit codes of quorvel-cli.
namespace quorvel::cli {

enum ExitCode : int {
    kExitDone = 0,
    kExitFailed = 1,
    kExitNothingToDo = 2,
    kExitNoRack = 3,
};

}  // namespace quorvel::cli
