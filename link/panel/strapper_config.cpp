#include "link/panel/strapper_config.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace quorlink::panel {

namespace {

constexpr size_t kLongestLine = 254;
constexpr int64_t kLargestBlockSize = 0x3FFE;  // (size + 1) must leave bit 14 for the marker
constexpr int64_t kMostBlocks = 0x7FFE;        // (number + 1) must leave bit 15 for empty blocks

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> splitTrimmed(std::string_view text, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const auto at = text.find(separator, start);
        fields.push_back(trim(text.substr(start, at - start)));
        if (at == std::string_view::npos) return fields;
        start = at + 1;
    }
}

// A number in C notation (decimal, 0x hexadecimal, leading 0 octal); nothing when it has none.
std::optional<int64_t> number(const std::string& text) {
    const std::string trimmed = trim(text);
    if (trimmed.empty()) return std::nullopt;
    char* end = nullptr;
    const long long value = std::strtoll(trimmed.c_str(), &end, 0);
    if (end == trimmed.c_str()) return std::nullopt;
    return value;
}

// One configuration line: the upper-case text for the keys, the original for file names.
struct ConfigLine {
    std::string upper;
    std::string original;
    std::string value;          // upper case, after "=" and spaces
    std::string originalValue;  // same, as written
};

// True when the line is `key` followed by optional spaces and "="; fills the values.
bool matchKey(ConfigLine& line, std::string_view key) {
    const size_t start = line.upper.find_first_not_of(' ');
    if (start == std::string::npos || line.upper.compare(start, key.size(), key) != 0) return false;
    size_t at = line.upper.find_first_not_of(' ', start + key.size());
    if (at == std::string::npos || line.upper[at] != '=') return false;
    ++at;
    line.value = trim(std::string_view(line.upper).substr(at));
    line.originalValue = trim(std::string_view(line.original).substr(at));
    return true;
}

bool startsWithKey(const std::string& upperLine, std::string_view key) {
    const size_t start = upperLine.find_first_not_of(' ');
    return start != std::string::npos && upperLine.compare(start, key.size(), key) == 0;
}

class ConfigReader {
  public:
    ConfigReader(const std::string& path, StrapperParameters& p, StrapperReporter& r)
        : path_(path), p_(p), r_(r) {}

    int handle(ConfigLine& line);

  private:
    int com(const ConfigLine& line);
    int boot(const ConfigLine& line);
    int size(const ConfigLine& line);
    int free(const ConfigLine& line);
    int hexFiles(const ConfigLine& line);
    int logFile(const ConfigLine& line);
    int numberInto(const ConfigLine& line, const std::function<void(int64_t)>& store);
    int text(const ConfigLine& line, std::string& into) {
        into = line.value.substr(0, StrapperParameters::kMaxTextLength);
        return 0;
    }
    std::optional<int> shownKey(ConfigLine& line);
    std::optional<int> fileKey(ConfigLine& line);
    // Shows the line and logs it.
    void shown(const ConfigLine& line) {
        r_.report(line.upper, 0);
        r_.log(line.upper);
    }

    const std::string& path_;
    StrapperParameters& p_;
    StrapperReporter& r_;
};

int ConfigReader::numberInto(const ConfigLine& line, const std::function<void(int64_t)>& store) {
    const auto value = number(line.value);
    if (!value) return kStrapperSyntaxError;
    store(*value);
    return 0;
}

int ConfigReader::com(const ConfigLine& line) {
    const auto fields = splitTrimmed(line.value, ',');
    if (fields.size() < 4) return kStrapperSyntaxError;
    const auto baud = number(fields[0]);
    const auto bits = number(fields[1]);
    const auto stop = number(fields[3]);
    if (!baud || !bits || !stop) return kStrapperSyntaxError;
    p_.baudRate = static_cast<long>(*baud);
    p_.bitsPerChar = static_cast<int>(*bits);
    p_.parity = fields[2].empty() ? std::string()
                                  : std::string(1, static_cast<char>(std::tolower(
                                                       static_cast<unsigned char>(fields[2][0]))));
    p_.stopBits = static_cast<int>(*stop);
    return 0;
}

int ConfigReader::boot(const ConfigLine& line) {
    const auto comma = line.originalValue.find(',');
    if (comma == std::string::npos) return kStrapperSyntaxError;
    p_.loadFile = resolveNextTo(path_, trim(line.originalValue.substr(0, comma)));
    p_.programFile = resolveNextTo(path_, trim(line.originalValue.substr(comma + 1)));
    return 0;
}

int ConfigReader::size(const ConfigLine& line) {
    const auto fields = splitTrimmed(line.value, ',');
    if (fields.size() < 2) return kStrapperSyntaxError;
    const auto imageSize = number(fields[0]);
    const auto blockSize = number(fields[1]);
    if (!imageSize || !blockSize || *blockSize < 1 || *blockSize > kLargestBlockSize ||
        *imageSize < 1)
        return kStrapperSyntaxError;
    const int64_t blocks = (*imageSize + *blockSize - 1) / *blockSize;
    if (blocks > kMostBlocks) return kStrapperSyntaxError;
    p_.blockSize = *blockSize;
    p_.imageSize = blocks * *blockSize;
    return 0;
}

int ConfigReader::free(const ConfigLine& line) {
    for (const auto& field : splitTrimmed(line.value, ',')) {
        const auto dash = field.find('-');
        if (dash == std::string::npos) return kStrapperSyntaxError;
        const auto start = number(field.substr(0, dash));
        const auto end = number(field.substr(dash + 1));
        if (!start || !end || *end < *start) return kStrapperSyntaxError;
        if (p_.freeRanges.size() >= StrapperParameters::kMaxFreeRanges) return kStrapperTooMany;
        p_.freeRanges.push_back({*start, *end});
    }
    return 0;
}

int ConfigReader::hexFiles(const ConfigLine& line) {
    for (const auto& name : splitTrimmed(line.originalValue, ',')) {
        if (p_.hexFiles.size() >= StrapperParameters::kMaxHexFiles) return kStrapperTooMany;
        p_.hexFiles.push_back(resolveNextTo(path_, name));
    }
    return 0;
}

int ConfigReader::logFile(const ConfigLine& line) {
    if (!r_.openLog(resolveNextTo(path_, line.originalValue))) return kStrapperCannotOpen;
    r_.log("ConfigFile = " + path_);
    return 0;
}

// The keys whose lines are shown: nothing when the line is none of them.
std::optional<int> ConfigReader::shownKey(ConfigLine& line) {
    const std::pair<const char*, std::function<int()>> keys[] = {
        {"TRANSF", [&] { return numberInto(line, [&](int64_t v) { p_.transfer = v != 0; }); }},
        {"COM", [&] { return com(line); }},
        {"SERADR", [&] { return numberInto(line, [&](int64_t v) { p_.serialAddress = v; }); }},
        {"SERNUM", [&] { return text(line, p_.serialNumber); }},
        {"REVADR", [&] { return numberInto(line, [&](int64_t v) { p_.revisionAddress = v; }); }},
        {"REVNUM", [&] { return text(line, p_.revisionNumber); }},
        {"BOOT", [&] { return boot(line); }},
        {"SIZE", [&] { return size(line); }},
        {"FREE", [&] { return free(line); }},
    };
    for (const auto& [key, apply] : keys) {
        if (!matchKey(line, key)) continue;
        shown(line);
        return apply();
    }
    return std::nullopt;
}

// The file keys are logged, not shown.
std::optional<int> ConfigReader::fileKey(ConfigLine& line) {
    if (matchKey(line, "DATFILE")) {
        p_.imageFile = resolveNextTo(path_, line.originalValue);
        r_.log(line.upper);
        return 0;
    }
    if (matchKey(line, "HEXFILE")) {
        r_.log(line.upper);
        return hexFiles(line);
    }
    if (matchKey(line, "LOGFILE")) {
        const int result = logFile(line);
        r_.log(line.upper);
        return result;
    }
    return std::nullopt;
}

int ConfigReader::handle(ConfigLine& line) {
    if (startsWithKey(line.upper, "REM")) {
        shown(line);
        return 0;
    }
    if (startsWithKey(line.upper, "VERSION")) {
        shown(line);
        for (const char* version : {"STRAPPER Version 2.1", "-------------------"}) {
            r_.report(version, 0);
            r_.log(version);
        }
        return 0;
    }
    if (auto result = shownKey(line)) return *result;
    return fileKey(line).value_or(0);  // other lines are no configuration
}

std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

std::string resolveNextTo(const std::string& configPath, const std::string& name) {
    const std::filesystem::path file(name);
    if (name.empty() || file.is_absolute()) return name;
    return (std::filesystem::path(configPath).parent_path() / file).string();
}

int readStrapperConfig(const std::string& path, StrapperParameters& parameters,
                       StrapperReporter& reporter) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return 0;  // no configuration: the defaults apply
    ConfigReader reader(path, parameters, reporter);
    std::string raw;
    while (std::getline(file, raw)) {
        ConfigLine line;
        line.original = withoutLineEnd(raw.substr(0, kLongestLine));
        line.upper = upper(line.original);
        if (int result = reader.handle(line)) return result;
    }
    return 0;
}

}  // namespace quorlink::panel
