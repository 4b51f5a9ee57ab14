#pragma once
// quorvel-cli's command line: parses the arguments (without the program name) and runs the
// subcommand they name. Returns the exit code.
#include <string>
#include <vector>

namespace quorvel::cli {

int RunCommandLine(const std::vector<std::string>& arguments);

}  // namespace quorvel::cli
