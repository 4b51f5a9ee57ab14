#include "link/nodepod/node_command.h"

#include <charconv>

namespace quorlink::nodepod {

std::optional<std::string> exchange(Channel& channel, std::string_view text, int maximum) {
    std::string line(text);
    line += "\r\n";
    std::string answer;
    if (channel.query(line, answer, maximum) != 0) {
        channel.reportMessage("Port Timeout!", 0);
        return std::nullopt;
    }
    return answer;
}

std::string command(std::string_view mnemonic, std::initializer_list<int64_t> parameters) {
    std::string text(mnemonic);
    for (const int64_t value : parameters) text += ',' + std::to_string(value);
    return text;
}

int64_t leadingNumber(std::string_view answer) {
    const size_t start = answer.find_first_not_of(" \t");
    if (start == std::string_view::npos) return 0;
    std::string_view digits = answer.substr(start);
    if (digits.starts_with('+')) digits.remove_prefix(1);
    int64_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

}  // namespace quorlink::nodepod
