#pragma once
// Progress and status on stderr: redrawn in place on a terminal. Otherwise (logs, pipes, CI) a
// line when a phase starts and when it ends, and between them one line per 10 % or, while the
// percentage stands still, per half minute: a log shows that a long run is alive without a line
// per percent.
#include <cstdint>
#include <cstdio>
#include <string>

namespace quorvel::cli {

class TerminalProgress {
public:
    TerminalProgress(std::FILE* stream, bool redraw) : stream_(stream), redraw_(redraw) {}

    // Shows `text` of the phase `phase` with `percent` (0-100) at `nowMs`; a terminal redraws on
    // every change.
    void show(const std::string& phase, const std::string& text, int percent, int64_t nowMs);
    static constexpr int64_t kQuietLineMs = 30000;
    // Ends a redrawn line so that the next output starts on its own line; in a log the phase's
    // last state, when it was not printed yet.
    void finishLine();
    // Prints a line of its own without disturbing the progress line.
    void printLine(const std::string& line);

private:
    std::FILE* stream_;
    bool redraw_;
    bool lineOpen_ = false;
    void printPlain(const std::string& text, int percent, int64_t nowMs);

    std::string lastText_;
    int lastPercent_ = -1;
    // Plain output: the phase, its last line printed and what came since without a line.
    std::string phase_;
    int printedPercent_ = -1;
    int64_t printedAtMs_ = 0;
    std::string pendingText_;
    int pendingPercent_ = -1;
};

}  // namespace quorvel::cli
