#pragma once
// Test firmware for the amplifier modules: per firmware type an application file, its loader-2
// companions and a loader-1 file, each with an identity text ("@(#)" + identity + NUL) embedded
// where the simulated module looks for it.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/fwgen/fwgen.h"

namespace fwgen {

struct AmplifierModel {
    int firmwareType = 2;
    std::string model;        // "RA51"
    std::string controller;   // "WS050"
    int moduleCode = 16;
    int amtNumber = 12;
    std::string prefix;       // file prefix, "ra51"
    std::string version;      // version of the generated application, "P2.07"
    uint32_t startAddress = 0;
    std::string kind;      // the simulated rack's component kind, "RA901B"
    std::string typeName;  // the amplifier table's name for it: the model with the letter the
                           // controller adds, "RA77C" for a WS081, "RA901B" for a WS50B
    std::string suffix = "0";  // the identity's third field; "F72" firmware is named ".s72"
};

struct AmplifierFirmware {
    std::string identity;                 // embedded in the application
    std::vector<Segment> application;     // address -> bytes as written into the file
    std::vector<Segment> loader2;
    std::vector<Segment> loader1;
    std::string applicationName;          // "ra51p207.s00"
    std::string loader2Name;              // "ra51p207p201.ld2" (".lp2" for production)
    std::string loader1Name;              // "ra51l102.ld1"
    std::string applicationText, loader2Text, loader1Text;
};

// One model per firmware type 1-4, matching the default rack file.
const std::vector<AmplifierModel>& amplifierModels();
const AmplifierModel& amplifierModel(int firmwareType);

AmplifierFirmware amplifierFirmware(const AmplifierModel& model, uint32_t seed = 1);

// Writes every type's files into `directory` (created if needed), plus "ws.cfg" describing them.
// Returns the names written.
std::vector<std::string> writeAmplifierSet(const std::string& directory, uint32_t seed = 1);

}  // namespace fwgen
