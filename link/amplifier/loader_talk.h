#pragma once
// What every amplifier export does over and over: format a command, send it, read the answer,
// report a time-out, copy texts into the caller's buffers.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "link/channel/channel.h"

namespace quorlink::amplifier {

inline constexpr std::string_view kPortTimeout = "Port Timeout!";
inline constexpr std::string_view kTimeoutSelectedPort =
    "Timeout selected port!\nBe sure that:\n- VTX system is switched on\n- VTX system is connected "
    "to the selected port\n- the port settings are okay.";
inline constexpr std::string_view kTimeoutSelectedPortNoOther =
    "Timeout selected port!\nBe sure that:\n- No other application is connected to VTX system\n- "
    "VTX system is switched on\n- VTX system is connected to the selected port\n- the port "
    "settings are okay.";
inline constexpr int kLineAnswer = 100;

template <typename... Args>
std::string textf(const char* pattern, Args... args) {
    const int length = std::snprintf(nullptr, 0, pattern, args...);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, args...);
    text.pop_back();
    return text;
}

// Sends `command` and reads its answer (a line of at most `maximum` - 1 characters, or two raw
// bytes when `maximum` is 2). On a time-out reports `timeoutText` (if not empty) and returns
// nullopt.
std::optional<std::string> ask(std::string_view command, int maximum = kLineAnswer,
                               std::string_view timeoutText = kPortTimeout);

// Reads a loader's identification one character per "K" query until a zero character, an
// 0xFF (when `stopOnFF`) or `limit` characters. Nullopt after a reported time-out.
struct Identification {
    std::string text;
    bool endedOnZero = false;
};
std::optional<Identification> readIdentification(std::string_view prefix, int loaderAddress,
                                                 size_t limit, bool stopOnFF);
// The longest identification loader 1 gives.
inline constexpr size_t kLoader1IdentLimit = 35;

// Copies a text and its length into caller buffers (either may be null).
void copyOut(const std::string& text, char* buffer, int32_t* length);

// "PRC1,1": switches the panel out of the bus. False after the time-out text was reported.
bool switchPanelOut(std::string_view timeoutText);

// Loader address (channel + 1) of each channel of a mask, ascending.
template <typename F>
void forEachChannel(uint32_t mask, F&& f) {
    for (int c = 0; c < 16; ++c)
        if (mask & (1u << c)) f(c);
}

}  // namespace quorlink::amplifier
