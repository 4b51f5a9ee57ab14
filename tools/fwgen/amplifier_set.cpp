#include "tools/fwgen/amplifier_set.h"

#include <filesystem>
#include <stdexcept>

namespace fwgen {

namespace {

constexpr const char* kIdentityMarker = "@(#)";

std::vector<uint8_t> pattern(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

// `size` bytes at `address` beginning with the embedded identity.
Segment withIdentity(uint32_t address, size_t size, const std::string& identity, uint32_t seed) {
    Segment segment{address, pattern(size, seed)};
    const std::string text = kIdentityMarker + identity;
    std::copy(text.begin(), text.end(), segment.data.begin());
    segment.data[text.size()] = 0;
    return segment;
}

std::string versionDigits(const std::string& version) {  // "P2.07" -> "207"
    return version.size() == 5 ? version.substr(1, 1) + version.substr(3, 2) : "000";
}

struct Layout {
    uint32_t loader2 = 0x1000;        // loader-2 file address
    size_t loader2Size = 0x2000;
    std::vector<std::pair<uint32_t, size_t>> application;  // first segment carries the identity
    uint32_t loader1 = 0;
};

Layout layoutOf(int type) {
    switch (type) {
        case 1:  // banks 0 and 1 above the older series' loader 1
            return {0x1000, 9 * 128, {{0x2400, 0x5C00}, {0x12400, 0x1C00}}, 0};
        case 2:  // internal flash from 0x10000, external data at 0x40000
            return {0x1000, 0x2000, {{0x12000, 0x8000}, {0x40000, 0x3000}}, 0x10000};
        case 3:  // one memory from 0; the application from 0x10000
            return {0x1000, 0x2000, {{0x10000, 0x12000}}, 0x0};
        default:  // type 4: internal flash from 0xC00000, external from 0x480000
            return {0x1000, 0x2000, {{0xC02000, 0x9000}, {0x480000, 0x2800}}, 0xC00000};
    }
}

std::string render(int type, const std::vector<Segment>& segments) {
    if (type == 1) return toSRecord(segments);
    return toIntelHex(segments);
}

}  // namespace

const std::vector<AmplifierModel>& amplifierModels() {
    static const std::vector<AmplifierModel> models = {
        {1, "RA14", "WS003", 3, 2, "ra14", "P1.30", 0x2400, "RA14", "RA14"},
        {2, "RA51", "WS050", 16, 12, "ra51", "P2.07", 0x12000, "RA51", "RA51"},
        {3, "RA77", "WS081", 32, 7, "ra77", "P3.11", 0x10000, "RA77", "RA77C"},
        {4, "RA901", "WS50B", 48, 21, "ra901b", "P6.49", 0xC02000, "RA901B", "RA901B"},
    };
    return models;
}

const AmplifierModel& amplifierModel(int firmwareType) {
    for (const auto& m : amplifierModels())
        if (m.firmwareType == firmwareType) return m;
    throw std::invalid_argument("no amplifier model of firmware type " + std::to_string(firmwareType));
}

AmplifierFirmware amplifierFirmware(const AmplifierModel& m, uint32_t seed) {
    const Layout layout = layoutOf(m.firmwareType);
    AmplifierFirmware fw;
    fw.identity = "QTX-" + m.model + "," + m.model + "-" + m.controller + "," + m.suffix + "," + m.version;
    for (size_t i = 0; i < layout.application.size(); ++i) {
        const auto [address, size] = layout.application[i];
        fw.application.push_back(i == 0 ? withIdentity(address, size, fw.identity, seed)
                                        : Segment{address, pattern(size, seed + 7 + static_cast<uint32_t>(i))});
    }
    const std::string loader2Identity = "QTX-" + m.model + "," + m.model + "-" + m.controller + ",L2,V2.01";
    fw.loader2.push_back(withIdentity(layout.loader2, layout.loader2Size, loader2Identity, seed + 3));
    const std::string loader1Identity = "QTX-" + m.model + "," + m.model + "-" + m.controller + ",L1,V1.03";
    fw.loader1.push_back(withIdentity(layout.loader1, 64 * 128, loader1Identity, seed + 5));

    const std::string stem = m.prefix + "p" + versionDigits(m.version);
    fw.applicationName = stem + (m.suffix == "F72" ? ".s72" : ".s00");
    fw.loader2Name = stem + "p201.ld2";
    fw.loader1Name = m.prefix + "l103.ld1";
    fw.applicationText = render(m.firmwareType, fw.application);
    fw.loader2Text = render(m.firmwareType, fw.loader2);
    fw.loader1Text = render(m.firmwareType, fw.loader1);
    return fw;
}

std::vector<std::string> writeAmplifierSet(const std::string& directory, uint32_t seed) {
    std::filesystem::create_directories(directory);
    const auto at = [&](const std::string& name) { return (std::filesystem::path(directory) / name).string(); };
    std::vector<std::string> written;
    std::string table = "QTX,V1\r\n0,0,none,0,none,\r\n";
    for (const auto& m : amplifierModels()) {
        const auto fw = amplifierFirmware(m, seed);
        std::string production = fw.loader2Name;
        production.replace(production.size() - 3, 3, "lp2");
        for (const auto& [name, text] : {std::pair{fw.applicationName, fw.applicationText},
                                         std::pair{fw.loader2Name, fw.loader2Text},
                                         std::pair{production, fw.loader2Text},
                                         std::pair{fw.loader1Name, fw.loader1Text}}) {
            writeFileAtomically(at(name), text);
            written.push_back(name);
        }
        table += std::to_string(m.amtNumber) + "," + std::to_string(m.moduleCode) + "," + m.prefix + "," +
                 std::to_string(m.startAddress) + "," + m.typeName + ",\r\n";
    }
    writeFileAtomically(at("ws.cfg"), table);
    written.push_back("ws.cfg");
    return written;
}

}  // namespace fwgen
