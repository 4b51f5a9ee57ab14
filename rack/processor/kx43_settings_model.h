#pragma once
// The settings a KX43-family processor keeps: identity data, interface addresses and line
// settings, power saving and the newer generation's modes, registers and NTP server.
#include <nlohmann/json.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rack/core/reply.h"

namespace rack {

struct SerialLine {
    int baudRate = 9600;
    int parity = 2;  // 0 none, 1 odd, 2 even
    int stopBits = 1;
    bool operator==(const SerialLine&) const = default;
};

struct Kx43Settings {
    std::string serialNumber = "\"-\"";  // with its double quotes
    std::string tcpIpAddress = "192.168.0.100";
    int gpibAddress = 7;
    int rs485Address = 1;
    SerialLine rs232;
    SerialLine rs485;
    char powerSaveMode = '0';
    char powerSaveTiming = '0';
    char filter = '0';
    char multiClient = '0';
    char zeroTimeChannel = '0';
    char msrWithTsv = '0';
    std::string generalPurposeRegister = "0";
    std::string pip1 = "0", pip2 = "0", pop1 = "0", pop2 = "0";
    char ntpServerStart = '0';
    std::string ntpServerAddress = "0.0.0.0";

    bool operator==(const Kx43Settings&) const = default;
    static Kx43Settings fromJson(const nlohmann::json& j);

    // Queries and set commands of the running firmware; nullopt = not a settings command.
    std::optional<Reply> handle(std::string_view line);
    // The interface settings the firmware reads from its initialisation file at start.
    void applyInitialisation(std::string_view file);
    // What a fresh firmware comes up with; the newer generation keeps its serial number and
    // interfaces outside the file system.
    void resetToDefaults(bool keepIdentityAndInterfaces);

private:
    std::optional<Reply> handleQuery(std::string_view line) const;
    std::optional<Reply> handleSet(std::string_view line);
};

// The processor's code for a baud rate in its initialisation file, and back.
int baudRateOfCode(int code);

}  // namespace rack
