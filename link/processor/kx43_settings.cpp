#include "link/processor/kx43_settings.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>

#include "link/channel/channel.h"
#include "linkpad/linkpad.h"

namespace quorlink::processor {

namespace {

// What a query's answer must look like to be written back later. A refusal "?" means the
// processor does not have that setting: it is skipped at restore. Entries written back whole keep
// a shape check, so that a garbled answer stops the update before the processor is touched
// instead of being written back to the new firmware; entries of which only the first character
// is written back need only that character.
enum class Kind {
    AnyText,         // printable text
    FirstBinary,     // begins with "0" or "1"
    FirstDigit,      // begins with a decimal digit
    Number,          // a decimal number
    NumberList,      // decimal numbers separated by commas
    DottedAddress,   // four decimal numbers 0-255 separated by dots
    Indexed,         // the query's index, "," and a printable value
    IndexedAddress,  // the query's index, "," and a dotted address
};

struct Query {
    Setting entry;
    const char* command;
    int answerLimit;
    const char* timeoutText;
    Kind kind;
    const char* name;
};

constexpr Query kSetA[] = {
    {Setting::SerialNumber, "SNO?", 70, "Port Timeout Serial Number!", Kind::AnyText, "Serial Number"},
    {Setting::TcpIpAddress, "ADS?1305", 25, "Port Timeout Tcp/Ip-Address!", Kind::DottedAddress, "Tcp/Ip-Address"},
    {Setting::GpibAddress, "ADS?1303", 9, "Port Timeout GPIB Address!", Kind::Number, "GPIB Address"},
    {Setting::Rs485Address, "ADS?1302", 9, "Port Timeout RS485 Address!", Kind::Number, "RS485 Address"},
    {Setting::Rs485Port, "SBR?1302", 28, "Port Timeout RS485 Port Settings!", Kind::NumberList, "RS485 Port Settings"},
    {Setting::Rs232Port, "SBR?1301", 28, "Port Timeout RS232 Port Settings!", Kind::NumberList, "RS232 Port Settings"},
    {Setting::PowerSaveMode, "PRC?6", 70, "Port Timeout Power Save Mode!", Kind::FirstBinary, "Power Save Mode"},
    {Setting::PowerSaveTiming, "PRC?7", 70, "Port Timeout Power Save Timing!", Kind::FirstDigit, "Power Save Timing"},
};

constexpr Query kSetB[] = {
    {Setting::Filter, "PRC?12", 28, "Port Timeout Filter!", Kind::FirstBinary, "Filter"},
    {Setting::MultiClient, "PRC?23", 28, "Port Timeout Multi Client!", Kind::FirstBinary, "Multi Client"},
    {Setting::ZeroTimeChannel, "PRC?13", 28, "Port Timeout Zero Time Channel!", Kind::FirstBinary, "Zero Time Channel"},
    {Setting::MsrWithTsv, "PRC?21", 28, "Port Timeout MSR with TSV Mode!", Kind::FirstBinary, "MSR with TSV Mode"},
    {Setting::GeneralPurposeRegister, "PRC?30", 48, "Port Timeout General Purpose Register!", Kind::Number, "General Purpose Register"},
    {Setting::Pip1, "PIP?1", 48, "Port Timeout PIP1!", Kind::Indexed, "PIP1"},
    {Setting::Pip2, "PIP?2", 48, "Port Timeout PIP2!", Kind::Indexed, "PIP2"},
    {Setting::Pop1, "POP?1", 48, "Port Timeout POP1!", Kind::Indexed, "POP1"},
    {Setting::Pop2, "POP?2", 48, "Port Timeout POP2!", Kind::Indexed, "POP2"},
    {Setting::NtpServerStart, "PRC?22", 28, "Port Timeout NTP Server Start!", Kind::FirstBinary, "NTP Server Start"},
    {Setting::NtpServerAddress, "NTP?1", 28, "Port Timeout NTP Server IP Address!", Kind::IndexedAddress, "NTP Server IP Address"},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNumber(std::string_view text) { return !text.empty() && std::ranges::all_of(text, isDigit); }
bool isPrintable(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= ' ' && c <= '~'; });
}

// Splits `text` at every `separator` and checks each part.
bool allParts(std::string_view text, char separator, size_t count, bool (*valid)(std::string_view)) {
    size_t parts = 0;
    for (size_t start = 0;; ++parts) {
        const size_t end = text.find(separator, start);
        if (!valid(text.substr(start, end - start))) return false;
        if (end == std::string_view::npos) return count == 0 || parts + 1 == count;
        start = end + 1;
    }
}

bool isOctet(std::string_view text) { return isNumber(text) && text.size() <= 3 && std::stoi(std::string(text)) <= 255; }
bool isDottedAddress(std::string_view text) { return allParts(text, '.', 4, isOctet); }

// The index a query ends with ("PIP?1" -> "1") and "," start an indexed answer.
std::optional<std::string_view> indexedValue(const Query& q, std::string_view answer) {
    const std::string_view command = q.command;
    const std::string prefix = std::string(command.substr(command.find('?') + 1)) + ",";
    if (!answer.starts_with(prefix)) return std::nullopt;
    return answer.substr(prefix.size());
}

bool fitsKind(const Query& q, std::string_view answer) {
    if (answer == kNotAvailable) return true;
    if (!isPrintable(answer)) return false;
    switch (q.kind) {
        case Kind::AnyText: return true;
        case Kind::FirstBinary: return answer[0] == '0' || answer[0] == '1';
        case Kind::FirstDigit: return isDigit(answer[0]);
        case Kind::Number: return isNumber(answer);
        case Kind::NumberList: return allParts(answer, ',', 0, isNumber);
        case Kind::DottedAddress: return isDottedAddress(answer);
        case Kind::Indexed: {
            const auto value = indexedValue(q, answer);
            return value && !value->empty();
        }
        case Kind::IndexedAddress: {
            const auto value = indexedValue(q, answer);
            return value && isDottedAddress(*value);
        }
    }
    return false;
}

constexpr const char* kSerialAccessCode = "-58246";
constexpr int kSetAnswer = 100;

std::string& entry(Setting s) { return settingsStore()[static_cast<size_t>(s)]; }
bool available(Setting s) { return !entry(s).empty() && entry(s) != kNotAvailable; }
// The entry's first character when it is "0" or "1".
std::optional<char> binaryValue(Setting s) {
    const std::string& value = entry(s);
    if (value.starts_with("0") || value.starts_with("1")) return value[0];
    return std::nullopt;
}

int prepareInterpreter() {
    Channel& ch = channel();
    std::string answer;
    if (ch.query("CHS-1\n", answer, 70) != 0 || ch.query("SPS1\n", answer, 70) != 0) {
        ch.reportMessage("Port Timeout!", 0);
        return -1;
    }
    ch.sendCommand("IDN?\n");
    ch.waitMs(200);
    if (ch.readAnswer(answer, 100) != 0) {
        ch.reportMessage("Port Timeout!", 0);
        return -1;
    }
    return 0;
}

// Sends one set command and reads its answer; false after `timeoutText`.
bool sendSetting(const std::string& command, const char* timeoutText,
                 std::string* answer = nullptr) {
    Channel& ch = channel();
    std::string received;
    if (ch.query(command, received, kSetAnswer) != 0) {
        ch.reportMessage(timeoutText, 0);
        return false;
    }
    if (answer) *answer = received;
    return true;
}

std::string serialNumberCommand() {
    const std::string& stored = entry(Setting::SerialNumber);
    const std::string serial = stored.starts_with("\"") ? stored : "\"-\"";
    return "SNO" + serial + "," + kSerialAccessCode + "\n";
}

char powerSaveMode(int variant) {
    if (variant == 3) return '1';
    if (const auto value = binaryValue(Setting::PowerSaveMode)) return *value;
    return variant == 2 ? '1' : '0';
}

char powerSaveTiming() {
    const std::string& value = entry(Setting::PowerSaveTiming);
    return value.empty() || value == kNotAvailable ? '0' : value[0];
}

bool restoreSetA(int variant) {
    const int32_t portKind = channel().state().portKind;
    const char* timeout = "Port Timeout!";
    if (!sendSetting(serialNumberCommand(), timeout)) return false;
    if (!sendSetting(std::string("PRC6,") + powerSaveMode(variant) + "\r\n", timeout)) return false;
    if (!sendSetting(std::string("PRC7,") + powerSaveTiming() + "\r\n", timeout)) return false;
    // The port in use keeps the settings the initialisation file gave it.
    if (portKind != QTX_PORT_COM1 && portKind != QTX_PORT_COM2 && available(Setting::Rs232Port) &&
        !sendSetting("SBR" + entry(Setting::Rs232Port) + "\r\n", timeout))
        return false;
    // The RS485 line and address are written back each when the processor had it.
    const bool rs485InUse = portKind == QTX_PORT_COM1_RS485 || portKind == QTX_PORT_COM2_RS485;
    if (!rs485InUse && available(Setting::Rs485Port) &&
        !sendSetting("SBR" + entry(Setting::Rs485Port) + "\r\n", timeout))
        return false;
    if (!rs485InUse && available(Setting::Rs485Address) &&
        !sendSetting("ADS1302," + entry(Setting::Rs485Address) + "\r\n", timeout))
        return false;
    if (portKind != QTX_PORT_GPIB && available(Setting::GpibAddress) &&
        !sendSetting("ADS1303," + entry(Setting::GpibAddress) + "\r\n", timeout))
        return false;
    if (portKind != QTX_PORT_TCP && available(Setting::TcpIpAddress) &&
        !sendSetting("ADS1305," + entry(Setting::TcpIpAddress) + "\r\n", timeout))
        return false;
    return true;
}

struct BinaryRestore {
    Setting entry;
    const char* command;
    const char* timeoutText;
};

struct TextRestore {
    Setting entry;
    const char* prefix;
    const char* timeoutText;
};

bool restoreBinary(const BinaryRestore& r, std::string* answer = nullptr) {
    const auto value = binaryValue(r.entry);
    return !value || sendSetting(std::string(r.command) + *value + "\r\n", r.timeoutText, answer);
}

bool restoreText(const TextRestore& r) {
    return !available(r.entry) ||
           sendSetting(r.prefix + entry(r.entry) + "\r\n", r.timeoutText);
}

bool restoreSetB() {
    constexpr BinaryRestore kModes[] = {
        {Setting::Filter, "PRC12,", "Port Timeout Setting Filter!"},
        {Setting::MultiClient, "PRC23,", "Port Timeout Setting Multiclient Mode!"},
        {Setting::ZeroTimeChannel, "PRC13,", "Port Timeout Setting Zero Time Channel Mode!"},
        {Setting::MsrWithTsv, "PRC21,", "Port Timeout Setting MSR Mode!"},
    };
    constexpr TextRestore kTexts[] = {
        {Setting::GeneralPurposeRegister, "PRC30,",
         "Port Timeout Setting General Purpose Register!"},
        {Setting::Pip1, "PIP ", "Port Timeout Setting PIP1!"},
        {Setting::Pip2, "PIP ", "Port Timeout Setting PIP2!"},
        {Setting::Pop1, "POP ", "Port Timeout Setting POP1!"},
        {Setting::Pop2, "POP ", "Port Timeout Setting POP2!"},
    };
    for (const auto& mode : kModes)
        if (!restoreBinary(mode)) return false;
    for (const auto& text : kTexts)
        if (!restoreText(text)) return false;
    std::string ntpAnswer;
    if (!restoreBinary({Setting::NtpServerStart, "PRC22,", "Port Timeout Setting NTP Server Mode!"},
                       &ntpAnswer))
        return false;
    if (binaryValue(Setting::NtpServerStart) == '1' && ntpAnswer.starts_with("0") &&
        available(Setting::NtpServerAddress))
        return sendSetting("NTP " + entry(Setting::NtpServerAddress) + "\r\n",
                           "Port Timeout Setting NTP Server IP Address!");
    return true;
}

}  // namespace

SettingsStore& settingsStore() {
    static SettingsStore store;
    return store;
}

int readSettings(SettingsSet set) {
    if (prepareInterpreter() != 0) return -1;
    for (std::string& value : settingsStore()) value = kNotAvailable;
    entry(Setting::SerialNumber).clear();
    Channel& ch = channel();
    const auto queries = set == SettingsSet::B ? std::span<const Query>(kSetB)
                                               : std::span<const Query>(kSetA);
    for (const Query& q : queries) {
        std::string answer;
        if (ch.query(std::string(q.command) + "\n", answer, q.answerLimit) != 0) {
            ch.reportMessage(q.timeoutText, 0);
            return -1;
        }
        if (!fitsKind(q, answer)) {
            ch.reportMessage(std::string("Invalid answer reading ") + q.name + ": \"" + answer +
                                 "\"! The processor was left unchanged.",
                             0);
            return -1;
        }
        entry(q.entry) = answer;
    }
    return 0;
}

void markUnreadSettings() {
    for (std::string& value : settingsStore())
        if (value.empty()) value = kNotAvailable;
}

bool restoreSettings(SettingsSet set, int variant) {
    return set == SettingsSet::B ? restoreSetB() : restoreSetA(variant);
}

}  // namespace quorlink::processor
