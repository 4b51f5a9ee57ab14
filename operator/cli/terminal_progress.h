#pragma once
// Progress and status on stderr: redrawn in place on a terminal, one plain line per change
// otherwise (logs, pipes, CI).
#include <cstdio>
#include <string>

namespace quorvel::cli {

class TerminalProgress {
public:
    TerminalProgress(std::FILE* stream, bool redraw) : stream_(stream), redraw_(redraw) {}

    // Shows `text` with `percent` (0-100); plain output only prints when either changed.
    void show(const std::string& text, int percent);
    // Ends a redrawn line so that the next output starts on its own line.
    void finishLine();
    // Prints a line of its own without disturbing the progress line.
    void printLine(const std::string& line);

private:
    std::FILE* stream_;
    bool redraw_;
    bool lineOpen_ = false;
    std::string lastText_;
    int lastPercent_ = -1;
};

}  // namespace quorvel::cli
