#pragma once
// The traffic log "comlog.log" in the working directory: every write and every answer with a time
// stamp, control bytes shown as <hex>. Pausing suppresses the data lines, not explicit log lines.
#include <fstream>
#include <string>
#include <string_view>

namespace linkpad {

class TrafficLog {
public:
    static constexpr const char* kFileName = "comlog.log";

    int enable();
    int disable();
    void pause(bool paused) { paused_ = paused; }
    bool enabled() const { return file_.is_open(); }

    void sent(std::string_view bytes);
    void received(std::string_view bytes, bool timedOut);
    void note(std::string_view text);  // an explicit line (QTX_WriteLog, errors)

private:
    void line(std::string_view prefix, std::string_view text);
    std::ofstream file_;
    bool paused_ = false;
};

std::string printable(std::string_view bytes);

}  // namespace linkpad
