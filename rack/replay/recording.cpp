#include "rack/replay/recording.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace rack::replay {

namespace {

constexpr const char* kTimeOutMark = " [time-out]";

// "12:03:04.567" as milliseconds of the day.
long long stampMs(const std::string& stamp) {
    return ((std::stoll(stamp.substr(0, 2)) * 60 + std::stoll(stamp.substr(3, 2))) * 60 + std::stoll(stamp.substr(6, 2))) *
               1000 +
           std::stoll(stamp.substr(9, 3));
}

struct Reader {
    std::vector<RecordedExchange> exchanges;
    std::string partialLine;
    long long commandMs = 0;
    bool answered = false;

    void command(std::string line, size_t logLine, long long ms, std::optional<size_t> sentBytes = std::nullopt) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '\x12') line.erase(0, 1);
        if (line.empty()) return;  // a bare line end (a wake-up) is no command to the rack
        exchanges.push_back({std::move(line), sentBytes, {}, 0, logLine});
        commandMs = ms;
        answered = false;
    }
    void sent(const std::string& bytes, size_t logLine, long long ms) {
        partialLine += bytes;
        for (size_t end; (end = partialLine.find('\n')) != std::string::npos;) {
            command(partialLine.substr(0, end), logLine, ms);
            partialLine.erase(0, end + 1);
        }
    }
    void received(const std::string& bytes, long long ms) {
        if (exchanges.empty() || bytes.empty()) return;
        auto& last = exchanges.back();
        if (!answered) last.delayMs = static_cast<int>(std::max(0LL, ms - commandMs));
        answered = true;
        last.answer += bytes;
    }
};

}  // namespace

bool RecordedExchange::matches(const std::string& line) const {
    if (!sentBytes) return line == command;
    // a long command logged by its beginning and its length with CR LF (or LF alone)
    return line.starts_with(command) && (*sentBytes == line.size() + 2 || *sentBytes == line.size() + 1);
}

std::string unprintable(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'r' || text[i + 1] == 'n')) {
            bytes += text[++i] == 'r' ? '\r' : '\n';
        } else if (text[i] == '<' && i + 3 < text.size() && text[i + 3] == '>' && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

std::vector<RecordedExchange> readRecording(std::istream& log) {
    static const std::regex entry(R"(^(\d\d:\d\d:\d\d\.\d\d\d) ([<>#]) (.*)$)");
    static const std::regex abbreviated(R"(^Sent (\d+) bytes: (.*) \.\.\.(\\r\\n)?$)");
    Reader reader;
    std::string text;
    for (size_t number = 1; std::getline(log, text); ++number) {
        std::smatch parts;
        if (!std::regex_match(text, parts, entry)) continue;
        const long long ms = stampMs(parts[1]);
        std::string data = parts[3];
        if (parts[2] == ">") {
            reader.sent(unprintable(data), number, ms);
        } else if (parts[2] == "<") {
            if (data.ends_with(kTimeOutMark)) data.resize(data.size() - std::string(kTimeOutMark).size());
            reader.received(unprintable(data), ms);
        } else if (std::smatch sent; std::regex_match(data, sent, abbreviated)) {
            reader.command(sent[2], number, ms, std::stoul(sent[1]));
        }
    }
    return std::move(reader.exchanges);
}

}  // namespace rack::replay
