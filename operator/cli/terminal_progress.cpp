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

void TerminalProgress::show(const std::string& phase, const std::string& text, int percent,
                            int64_t nowMs) {
    percent = std::clamp(percent, 0, 100);
    if (text == lastText_ && percent == lastPercent_) return;
    lastText_ = text;
    lastPercent_ = percent;
    if (redraw_) {
        std::fprintf(stream_, "\r\033[K%s %3d%% %s", bar(percent).c_str(), percent, text.c_str());
        lineOpen_ = true;
        std::fflush(stream_);
        return;
    }
    if (phase != phase_) {
        finishLine();
        phase_ = phase;
        printPlain(text, percent, nowMs);
        return;
    }
    const bool nextTenth = percent / 10 != printedPercent_ / 10 || (percent == 100 && printedPercent_ != 100);
    if (nextTenth || nowMs - printedAtMs_ >= kQuietLineMs) {
        printPlain(text, percent, nowMs);
        return;
    }
    pendingText_ = text;
    pendingPercent_ = percent;
}

void TerminalProgress::printPlain(const std::string& text, int percent, int64_t nowMs) {
    std::fprintf(stream_, "%3d%% %s\n", percent, text.c_str());
    std::fflush(stream_);
    printedPercent_ = percent;
    printedAtMs_ = nowMs;
    pendingText_.clear();
    pendingPercent_ = -1;
}

void TerminalProgress::finishLine() {
    if (!redraw_) {
        if (pendingPercent_ >= 0) printPlain(pendingText_, pendingPercent_, printedAtMs_);
        return;
    }
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
