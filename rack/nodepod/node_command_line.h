#pragma once
// A "PCH" command line taken apart: query mark, sub-command, numbers and the quoted data text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rack::nodepod {

struct NodeCommandLine {
    bool query = false;
    int sub = 0;
    std::vector<int64_t> numbers;  // the first is the node ID for node commands
    std::string text;              // the contents of a quoted field ("PCH30")
};

// nullopt when the line is not a well-formed "PCH" command.
std::optional<NodeCommandLine> parseNodeCommand(std::string_view line);

}  // namespace rack::nodepod
