#pragma once
// A traffic log ("comlog.log") read back as the exchanges of one session: each command line the
// host sent, with the bytes the host read after it and how long they took to come.
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace rack::replay {

struct RecordedExchange {
    std::string command;       // without the line end (and without a leading DC2)
    std::optional<size_t> sentBytes;  // set when the log kept only the beginning of a long command
    std::string answer;        // every byte the host read before its next command
    int delayMs = 0;           // from the command to the first byte read
    size_t logLine = 0;        // where the command stands in the log (1-based)

    // The host's line (without line end) is the one recorded.
    bool matches(const std::string& line) const;
};

// Reads the log; lines that are neither sent nor received data (notes, blank) are skipped.
std::vector<RecordedExchange> readRecording(std::istream& log);
// The bytes a data line of the log stands for: "\r", "\n" and "<XX>" turned back into bytes.
std::string unprintable(const std::string& text);

}  // namespace rack::replay
