#include "link/amplifier/loader_talk.h"

#include <cstring>

namespace quorlink::amplifier {

std::optional<std::string> ask(std::string_view command, int maximum, std::string_view timeoutText) {
    std::string answer;
    if (channel().query(command, answer, maximum) != 0) {
        if (!timeoutText.empty()) channel().reportMessage(timeoutText, 0);
        return std::nullopt;
    }
    // A refusal comes as the line "?" CR LF even where two raw bytes are read: its line feed is
    // read too, or the next command would take it for its answer.
    if (maximum == 2 && answer == "?\r") {
        std::string rest;
        channel().readAnswer(rest, kLineAnswer);
    }
    return answer;
}

std::optional<Identification> readIdentification(std::string_view prefix, int loaderAddress,
                                                 size_t limit, bool stopOnFF) {
    Identification id;
    const std::string command = textf("%sK%02X\r\n", std::string(prefix).c_str(), loaderAddress);
    while (id.text.size() < limit) {
        const auto answer = ask(command);
        if (!answer) return std::nullopt;
        const char first = answer->empty() ? '\0' : (*answer)[0];
        if (first == '\0') {
            id.endedOnZero = true;
            break;
        }
        id.text += first;
        if (stopOnFF && static_cast<unsigned char>(first) == 0xFF) break;
    }
    return id;
}

void copyOut(const std::string& text, char* buffer, int32_t* length) {
    // A NUL byte in an answer ends the caller's string there; the length tells the same text.
    const std::string_view shown(text.c_str());
    if (buffer) {
        std::memcpy(buffer, shown.data(), shown.size());
        buffer[shown.size()] = '\0';
    }
    if (length) *length = static_cast<int32_t>(shown.size());
}

bool switchPanelOut(std::string_view timeoutText) {
    const auto answer = ask("PRC1,1\r\n", kLineAnswer, timeoutText);
    if (!answer) return false;
    if (!answer->starts_with("0")) channel().reportMessage("Error on disable DVxx!", 0);
    return true;
}

}  // namespace quorlink::amplifier
