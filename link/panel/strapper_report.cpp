#include "link/panel/strapper_report.h"

namespace quorlink::panel {

const char* strapperErrorText(int code) {
    switch (code) {
        case kStrapperPortError:
            return "Schnittstellen-Fehler.";
        case kStrapperFlashError:
            return "Fehler beim Flash programmieren.";
        case kStrapperNoC167:
            return "SAB80C167 meldet sich nicht.";
        case kStrapperSyntaxError:
            return "Fehlerhafte Parameteruebergabe.";
        case kStrapperCannotOpen:
            return "File kann nicht geoeffnet werden.";
        case kStrapperNoKX43:
            return "KX43 meldet sich nicht.";
        default:
            return "Unbekannter Fehler.";
    }
}

void StrapperReporter::report(std::string_view text, int percent) {
    if (!text.empty()) channel_.reportStatus(text, 0);
    channel_.reportProgress(percent);
}

void StrapperReporter::restartProgressInterval() { lastProgress_ = channel_.tickMs(); }

void StrapperReporter::progressAtMostEvery500ms(int percent) {
    const uint32_t now = channel_.tickMs();
    if (percent < 100 && now - lastProgress_ < kProgressIntervalMs)
        return;
    lastProgress_ = now;
    channel_.reportProgress(percent);
}

bool StrapperReporter::openLog(const std::string& path) {
    log_ = openFile(path, "w");
    return static_cast<bool>(log_);
}

void StrapperReporter::log(std::string_view text) {
    if (!log_) return;
    std::fwrite(text.data(), 1, text.size(), log_.get());
    std::fputc('\n', log_.get());
    std::fflush(log_.get());
}

int StrapperReporter::error(int code) {
    const std::string text = strapperErrorText(code);
    report(text, 0);
    log("ERROR: " + text);
    return code;
}

}  // namespace quorlink::panel
