#include "linkpad/com_ports.h"

#include <cstdlib>
#include <fstream>

#include "linkpad/linkpad.h"

namespace linkpad {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string fromFile(const std::filesystem::path& file, const std::string& name) {
    std::ifstream in(file);
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (trimmed(line.substr(0, equals)) == name) found = trimmed(line.substr(equals + 1));
    }
    return found;
}

}  // namespace

int comNumberForPortKind(int portKind) {
    switch (portKind) {
        case QTX_PORT_COM1:
        case QTX_PORT_COM1_RS485:
            return 1;
        case QTX_PORT_COM2:
        case QTX_PORT_COM2_RS485:
            return 2;
        default:
            return 0;
    }
}

std::filesystem::path comMappingFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (config && *config) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home ? home : "") / ".config";
    }
    return base / "Quorvel" / "ports.conf";
}

ComMapping comDevice(int comNumber) {
    const std::string name = "COM" + std::to_string(comNumber);
    const std::string variable = "QUORVEL_" + name;
    if (const char* value = std::getenv(variable.c_str()); value && *value)
        return {value, "environment variable " + variable};
    const auto file = comMappingFile();
    if (std::string device = fromFile(file, name); !device.empty())
        return {device, file.string()};
    return {"/dev/ttyS" + std::to_string(comNumber - 1),
            "default; set " + variable + " or " + name + "=<device> in " + file.string()};
}

}  // namespace linkpad
