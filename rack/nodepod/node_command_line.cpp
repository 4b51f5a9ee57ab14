#include "rack/nodepod/node_command_line.h"

#include <charconv>

namespace rack::nodepod {

namespace {

bool parseNumber(std::string_view field, int64_t& value) {
    if (field.empty()) return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc{} && end == field.data() + field.size();
}

}  // namespace

std::optional<NodeCommandLine> parseNodeCommand(std::string_view line) {
    if (!line.starts_with("PCH")) return std::nullopt;
    line.remove_prefix(3);
    NodeCommandLine parsed;
    if (line.starts_with('?')) {
        parsed.query = true;
        line.remove_prefix(1);
    }
    const size_t comma = line.find(',');
    int64_t sub = 0;
    if (!parseNumber(line.substr(0, comma), sub) || sub < 0 || sub > 99) return std::nullopt;
    parsed.sub = static_cast<int>(sub);
    if (comma == std::string_view::npos) return parsed;
    std::string_view rest = line.substr(comma + 1);
    while (!rest.empty()) {
        if (rest.starts_with('"')) {
            if (rest.size() < 2 || rest.back() != '"') return std::nullopt;
            parsed.text = std::string(rest.substr(1, rest.size() - 2));
            return parsed;
        }
        const size_t next = rest.find(',');
        int64_t value = 0;
        if (!parseNumber(rest.substr(0, next), value)) return std::nullopt;
        parsed.numbers.push_back(value);
        if (next == std::string_view::npos) break;
        rest.remove_prefix(next + 1);
        if (rest.empty()) return std::nullopt;  // a trailing comma leaves a field missing
    }
    return parsed;
}

}  // namespace rack::nodepod
