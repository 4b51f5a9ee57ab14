#pragma once
// What the rack file says about one simulated amplifier module.
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace rack::amplifier {

enum class Layer { Application, Loader1, Loader2 };

struct ConnectionBoard {
    std::string serialNumber;        // answer to "SNR?<board>"
    std::vector<uint8_t> eeprom;     // 2048 bytes from the board's EEPROM start
};

struct ModuleConfig {
    std::string model = "RA51";
    int firmwareType = 2;            // 1 older series, 2-4 flash layouts of the current series
    int moduleCode = 0x10;           // code the loaders expect in select and erase commands
    std::string controller = "WS050";
    std::string suffix = "0";
    std::string version = "P2.06";
    std::string identity;            // empty: built from model, controller, suffix and version
    int amtNumber = 12;
    int subChannels = 4;
    bool subChannelsFixed = false;   // ignores "PAR9990" (a JB6xx board decides the count)
    char mode = '1';                 // operating mode digit ("MCF")
    std::string hardwareRevision = "\"B02\"";
    std::string loader1Version = "V1.02";
    std::string loader2Version = "V2.01";
    bool externalFlash = true;       // type 2: external data flash fitted
    Layer layer = Layer::Application;
    std::vector<ConnectionBoard> boards;
    bool canDatabase = true;

    // "QTX-<model>,<model>-<controller>,<suffix>,<version>"
    std::string builtIdentity() const;
    // "QTX-<model>,<model>-<controller>,L1,<loader 1 version>,<4-digit AMT number>"
    std::string loader1Identity() const;

    static ModuleConfig fromJson(const nlohmann::json& j);
};

std::string defaultControllerFor(int firmwareType);

}  // namespace rack::amplifier
