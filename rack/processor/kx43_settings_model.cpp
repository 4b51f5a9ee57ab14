#include "rack/processor/kx43_settings_model.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace rack {

namespace {

constexpr std::array<int, 10> kBaudRates = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr std::string_view kSerialAccessCode = "-58246";

std::optional<int> integer(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool isBinary(std::string_view value) { return value == "0" || value == "1"; }

bool isDottedAddress(std::string_view text) {
    for (int part = 0; part < 4; ++part) {
        const size_t dot = part < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos) return false;
        const auto value = integer(text.substr(0, dot));
        if (!value || *value < 0 || *value > 255) return false;
        text.remove_prefix(part < 3 ? dot + 1 : dot);
    }
    return text.empty();
}

std::string lineText(int port, const SerialLine& line) {
    return std::to_string(port) + "," + std::to_string(line.baudRate) + "," +
           std::to_string(line.parity) + "," + std::to_string(line.stopBits);
}

// "<rate>,<parity>,<stop bits>"
std::optional<SerialLine> parseLine(std::string_view text) {
    SerialLine line;
    int* fields[] = {&line.baudRate, &line.parity, &line.stopBits};
    for (size_t i = 0; i < 3; ++i) {
        const size_t comma = i < 2 ? text.find(',') : text.size();
        if (comma == std::string_view::npos) return std::nullopt;
        const auto value = integer(text.substr(0, comma));
        if (!value) return std::nullopt;
        *fields[i] = *value;
        text.remove_prefix(i < 2 ? comma + 1 : comma);
    }
    const bool knownRate =
        std::find(kBaudRates.begin(), kBaudRates.end(), line.baudRate) != kBaudRates.end();
    if (!knownRate || line.parity < 0 || line.parity > 2 || line.stopBits < 1 || line.stopBits > 2)
        return std::nullopt;
    return line;
}

Reply verdict(bool accepted) { return accepted ? Reply::accepted() : Reply::refused(); }

}  // namespace

int baudRateOfCode(int code) {
    return code >= 0 && code < static_cast<int>(kBaudRates.size()) ? kBaudRates[code] : 9600;
}

Kx43Settings Kx43Settings::fromJson(const nlohmann::json& j) {
    Kx43Settings s;
    auto character = [&](const char* key, char& field) {
        const std::string value = j.value(key, std::string(1, field));
        if (!value.empty()) field = value[0];
    };
    s.serialNumber = j.value("serialNumber", s.serialNumber);
    s.tcpIpAddress = j.value("tcpIpAddress", s.tcpIpAddress);
    s.gpibAddress = j.value("gpibAddress", s.gpibAddress);
    s.rs485Address = j.value("rs485Address", s.rs485Address);
    for (auto [key, line] : {std::pair{"rs232", &s.rs232}, std::pair{"rs485", &s.rs485}})
        if (j.contains(key))
            if (auto parsed = parseLine(j[key].get<std::string>())) *line = *parsed;
    character("powerSaveMode", s.powerSaveMode);
    character("powerSaveTiming", s.powerSaveTiming);
    character("filter", s.filter);
    character("multiClient", s.multiClient);
    character("zeroTimeChannel", s.zeroTimeChannel);
    character("msrWithTsv", s.msrWithTsv);
    character("ntpServerStart", s.ntpServerStart);
    s.generalPurposeRegister = j.value("generalPurposeRegister", s.generalPurposeRegister);
    s.pip1 = j.value("pip1", s.pip1);
    s.pip2 = j.value("pip2", s.pip2);
    s.pop1 = j.value("pop1", s.pop1);
    s.pop2 = j.value("pop2", s.pop2);
    s.ntpServerAddress = j.value("ntpServerAddress", s.ntpServerAddress);
    return s;
}

std::optional<Reply> Kx43Settings::handle(std::string_view line) {
    if (auto reply = handleQuery(line)) return reply;
    return handleSet(line);
}

std::optional<Reply> Kx43Settings::handleQuery(std::string_view line) const {
    const std::pair<std::string_view, std::string> answers[] = {
        {"SNO?", serialNumber},
        {"ADS?1305", tcpIpAddress},
        {"ADS?1303", std::to_string(gpibAddress)},
        {"ADS?1302", std::to_string(rs485Address)},
        {"SBR?1301", lineText(1301, rs232)},
        {"SBR?1302", lineText(1302, rs485)},
        {"PRC?6", std::string(1, powerSaveMode)},
        {"PRC?7", std::string(1, powerSaveTiming)},
        {"PRC?12", std::string(1, filter)},
        {"PRC?23", std::string(1, multiClient)},
        {"PRC?13", std::string(1, zeroTimeChannel)},
        {"PRC?21", std::string(1, msrWithTsv)},
        {"PRC?30", generalPurposeRegister},
        {"PIP?1", "1," + pip1},
        {"PIP?2", "2," + pip2},
        {"POP?1", "1," + pop1},
        {"POP?2", "2," + pop2},
        {"PRC?22", std::string(1, ntpServerStart)},
        {"NTP?1", "1," + ntpServerAddress},
    };
    for (const auto& [query, answer] : answers)
        if (line == query) return Reply::line(answer);
    return std::nullopt;
}

std::optional<Reply> Kx43Settings::handleSet(std::string_view line) {
    const std::pair<std::string_view, char*> modes[] = {
        {"PRC6,", &powerSaveMode}, {"PRC12,", &filter},          {"PRC23,", &multiClient},
        {"PRC13,", &zeroTimeChannel}, {"PRC21,", &msrWithTsv}, {"PRC22,", &ntpServerStart},
    };
    for (const auto& [prefix, field] : modes) {
        if (!line.starts_with(prefix)) continue;
        const std::string_view value = line.substr(prefix.size());
        if (isBinary(value)) *field = value[0];
        return verdict(isBinary(value));
    }
    const std::pair<std::string_view, std::string*> texts[] = {
        {"PRC30,", &generalPurposeRegister}, {"PIP 1,", &pip1}, {"PIP 2,", &pip2},
        {"POP 1,", &pop1}, {"POP 2,", &pop2}, {"NTP 1,", &ntpServerAddress},
    };
    for (const auto& [prefix, field] : texts) {
        if (!line.starts_with(prefix)) continue;
        const std::string_view value = line.substr(prefix.size());
        if (!value.empty()) *field = value;
        return verdict(!value.empty());
    }
    if (line.starts_with("PRC7,")) {
        const std::string_view value = line.substr(5);
        const bool digit = value.size() == 1 && value[0] >= '0' && value[0] <= '9';
        if (digit) powerSaveTiming = value[0];
        return verdict(digit);
    }
    if (line.starts_with("SNO")) {
        // "SNO<quoted serial>,<access code>"
        const size_t comma = line.rfind(',');
        const std::string_view serial = line.substr(3, comma == std::string_view::npos ? 0 : comma - 3);
        const bool valid = comma != std::string_view::npos && line.substr(comma + 1) == kSerialAccessCode &&
                           serial.size() >= 2 && serial.front() == '"' && serial.back() == '"';
        if (valid) serialNumber = serial;
        return verdict(valid);
    }
    if (line.starts_with("SBR1301,") || line.starts_with("SBR1302,")) {
        const auto parsed = parseLine(line.substr(8));
        if (parsed) (line[6] == '1' ? rs232 : rs485) = *parsed;
        return verdict(parsed.has_value());
    }
    if (line.starts_with("ADS1305,")) {
        const bool valid = isDottedAddress(line.substr(8));
        if (valid) tcpIpAddress = line.substr(8);
        return verdict(valid);
    }
    if (line.starts_with("ADS1303,") || line.starts_with("ADS1302,")) {
        const auto value = integer(line.substr(8));
        const bool valid = value && *value >= 0 && *value <= 255;
        if (valid) (line[6] == '3' ? gpibAddress : rs485Address) = *value;
        return verdict(valid);
    }
    return std::nullopt;
}

void Kx43Settings::applyInitialisation(std::string_view file) {
    auto byte = [&](size_t i) { return static_cast<uint8_t>(file[i]); };
    if (file.size() < 14) return;  // the firmware keeps its defaults
    gpibAddress = byte(0);
    rs485Address = byte(1);
    tcpIpAddress = std::to_string(byte(2)) + "." + std::to_string(byte(3)) + "." +
                   std::to_string(byte(4)) + "." + std::to_string(byte(5));
    rs232 = {baudRateOfCode(byte(6)), byte(8) > 2 ? 2 : byte(8), byte(9)};
    rs485 = {baudRateOfCode(byte(10)), byte(12) > 2 ? 2 : byte(12), byte(13)};
}

void Kx43Settings::resetToDefaults(bool keepIdentityAndInterfaces) {
    Kx43Settings fresh;
    if (keepIdentityAndInterfaces) {
        fresh.serialNumber = serialNumber;
        fresh.tcpIpAddress = tcpIpAddress;
        fresh.gpibAddress = gpibAddress;
        fresh.rs485Address = rs485Address;
        fresh.rs232 = rs232;
        fresh.rs485 = rs485;
    }
    *this = fresh;
}

}  // namespace rack
