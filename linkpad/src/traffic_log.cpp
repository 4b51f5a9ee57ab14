#include "traffic_log.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace linkpad {

namespace {
std::string timeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms.count()));
    return buffer;
}
}  // namespace

std::string printable(std::string_view bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7f) {
            text += static_cast<char>(c);
        } else if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            text += hex;
        }
    }
    return text;
}

int TrafficLog::enable() {
    if (!file_.is_open()) file_.open(kFileName, std::ios::app | std::ios::binary);
    return file_.is_open() ? 0 : -1;
}

int TrafficLog::disable() {
    if (!file_.is_open()) return 0;
    file_.close();
    return file_.fail() ? -1 : 0;
}

void TrafficLog::sent(std::string_view bytes) {
    if (!paused_) line("> ", printable(bytes));
}

void TrafficLog::received(std::string_view bytes, bool timedOut) {
    if (paused_) return;
    line("< ", timedOut ? printable(bytes) + " [time-out]" : printable(bytes));
}

void TrafficLog::note(std::string_view text) { line("# ", text); }

void TrafficLog::line(std::string_view prefix, std::string_view text) {
    if (!file_.is_open()) return;
    file_ << timeStamp() << ' ' << prefix << text << '\n';
    file_.flush();
}

}  // namespace linkpad
