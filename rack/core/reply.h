#pragma once
// What a simulated component sends back for one command.
#include <string>
#include <string_view>

namespace rack {

struct Reply {
    std::string bytes;   // sent as they are; line answers carry their CR LF
    int delayMs = 0;     // modelled processing time before the answer is readable
    bool silent = false; // no answer at all (a dead or busy module)

    static Reply line(std::string_view text, int delayMs = 0) {
        return {std::string(text) + "\r\n", delayMs, false};
    }
    static Reply raw(std::string bytes, int delayMs = 0) { return {std::move(bytes), delayMs, false}; }
    static Reply none() { return {{}, 0, true}; }
    static Reply accepted(int delayMs = 0) { return line("0", delayMs); }
    static Reply refused() { return line("?"); }
};

}  // namespace rack
