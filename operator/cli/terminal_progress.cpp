#include "operator/cli/terminal_progress.h"

#include <algorithm>

namespace quorvel::cli {
namespace {
constexpr int kBarWidth = 24;

std::string bar(int percent) {
    const int filled = percent * kBarWidth / 100;
    return "[" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + "]";
}
}  // namespace

void TerminalProgress::show(const std::string& text, int percent) {
    percent = std::clamp(percent, 0, 100);
    if (text == lastText_ && percent == lastPercent_) return;
    lastText_ = text;
    lastPercent_ = percent;
    if (redraw_) {
        std::fprintf(stream_, "\r\033[K%s %3d%% %s", bar(percent).c_str(), percent, text.c_str());
        lineOpen_ = true;
    } else {
        std::fprintf(stream_, "%3d%% %s\n", percent, text.c_str());
    }
    std::fflush(stream_);
}

void TerminalProgress::finishLine() {
    if (!lineOpen_) return;
    std::fputs("\r\033[K", stream_);
    std::fflush(stream_);
    lineOpen_ = false;
}

void TerminalProgress::printLine(const std::string& line) {
    finishLine();
    std::fprintf(stream_, "%s\n", line.c_str());
    std::fflush(stream_);
    lastText_.clear();
    lastPercent_ = -1;
}

}  // namespace quorvel::cli
