#include "rack/amplifier/module_config.h"

#include <cstdio>
#include <stdexcept>

namespace rack::amplifier {

namespace {

Layer layerFromName(const std::string& name) {
    if (name == "application") return Layer::Application;
    if (name == "loader1") return Layer::Loader1;
    if (name == "loader2") return Layer::Loader2;
    throw std::invalid_argument("layer \"" + name + "\" is not application, loader1 or loader2");
}

// A recognisable EEPROM pattern per board so uploads can be compared.
std::vector<uint8_t> patternEeprom(int board) {
    std::vector<uint8_t> bytes(2048);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + board * 31);
    return bytes;
}

std::vector<ConnectionBoard> boardsFromJson(const nlohmann::json& j) {
    std::vector<ConnectionBoard> boards;
    if (j.is_number_integer()) {
        for (int b = 1; b <= std::min(j.get<int>(), 2); ++b)
            boards.push_back({"\"JB951-" + std::to_string(1000 + b) + "\"", patternEeprom(b)});
        return boards;
    }
    int b = 0;
    for (const auto& entry : j) {
        ++b;
        if (b > 2) throw std::invalid_argument("an amplifier holds at most two connection boards");
        boards.push_back({entry.value("serialNumber", "\"JB951-" + std::to_string(1000 + b) + "\""),
                          patternEeprom(b)});
    }
    return boards;
}

}  // namespace

std::string defaultControllerFor(int firmwareType) {
    switch (firmwareType) {
        case 1:
            return "WS003";
        case 3:
            return "WS081";
        case 4:
            return "WS50B";
        default:
            return "WS050";
    }
}

std::string ModuleConfig::builtIdentity() const {
    return "QTX-" + model + "," + model + "-" + controller + "," + suffix + "," + version;
}

std::string ModuleConfig::loader1Identity() const {
    char amt[8];
    std::snprintf(amt, sizeof amt, "%04d", amtNumber % 10000);
    return "QTX-" + model + "," + model + "-" + controller + ",L1," + loader1Version + "," + amt;
}

ModuleConfig ModuleConfig::fromJson(const nlohmann::json& j) {
    ModuleConfig c;
    c.model = j.value("model", j.value("kind", c.model));
    c.firmwareType = j.value("firmwareType", c.firmwareType);
    if (c.firmwareType < 1 || c.firmwareType > 4)
        throw std::invalid_argument("firmwareType must be 1-4");
    c.moduleCode = j.value("moduleCode", c.moduleCode);
    c.controller = j.value("controller", defaultControllerFor(c.firmwareType));
    c.suffix = j.value("suffix", c.suffix);
    c.version = j.value("version", c.version);
    c.identity = j.value("identity", c.identity);
    c.amtNumber = j.value("amtNumber", c.amtNumber);
    c.subChannels = j.value("subChannels", c.subChannels);
    c.subChannelsFixed = j.value("subChannelsFixed", c.subChannelsFixed);
    const std::string mode = j.value("mode", std::string(1, c.mode));
    if (mode.size() != 1) throw std::invalid_argument("mode is one digit");
    c.mode = mode[0];
    c.hardwareRevision = j.value("hardwareRevision", c.hardwareRevision);
    c.loader1Version = j.value("loader1Version", c.loader1Version);
    c.loader2Version = j.value("loader2Version", c.loader2Version);
    c.externalFlash = j.value("externalFlash", c.externalFlash);
    c.layer = layerFromName(j.value("layer", std::string("application")));
    c.boards = boardsFromJson(j.value("boards", nlohmann::json(1)));
    c.canDatabase = j.value("canDatabase", c.canDatabase);
    return c;
}

}  // namespace rack::amplifier
