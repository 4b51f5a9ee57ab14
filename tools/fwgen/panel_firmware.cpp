#include "tools/fwgen/panel_firmware.h"

#include <filesystem>

namespace fwgen {

namespace {

constexpr uint32_t kIdentityAddress = 0x100;
constexpr uint32_t kLoaderIIAddressLarge = 0xB8000;
constexpr uint32_t kLoaderIIAddressSmall = 0x78000;
constexpr uint32_t kLoaderIStart = 0x7FA00;
constexpr uint32_t kLoaderIEnd = 0x80000;
constexpr size_t kLoaderIISize = 0x1800;

std::vector<uint8_t> pattern(size_t length, uint8_t seed) {
    std::vector<uint8_t> bytes(length);
    uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>((state >> 16) | 1);  // never zero: the pieces are not empty
    }
    return bytes;
}

Segment text(uint32_t address, const std::string& value) {
    return {address, std::vector<uint8_t>(value.begin(), value.end())};
}

std::string join(const std::string& directory, const std::string& name) {
    return (std::filesystem::path(directory) / name).string();
}

void writeHex(const std::string& path, const std::vector<Segment>& segments) {
    writeFileAtomically(path, toIntelHex(segments));
}

}  // namespace

std::vector<Segment> panelApplication(const std::string& version, uint32_t end) {
    std::vector<Segment> segments{{0x0000, pattern(0x100, 1)},
                                  text(kIdentityAddress, "VTXDV:" + version),
                                  {0x0400, pattern(0x0C00, 2)}};
    // Everything from 0x1000 to the last kilobyte stays zero: empty pieces, skipped when allowed.
    const uint32_t tail = end >= 0x1400 ? end - 0x400 : 0x1000;
    segments.push_back({tail, pattern(end - tail, 3)});
    return segments;
}

std::vector<Segment> panelLoaderII(PanelLayout layout) {
    const bool large = layout == PanelLayout::Large;
    auto body = pattern(kLoaderIISize, large ? 4 : 5);
    const std::string head = large ? "QL22" : "QL21";
    std::copy(head.begin(), head.end(), body.begin());
    return {{large ? kLoaderIIAddressLarge : kLoaderIIAddressSmall, body}};
}

std::vector<Segment> panelLoaderI() {
    return {{kLoaderIStart, pattern(kLoaderIEnd - kLoaderIStart, 6)}};
}

std::vector<Segment> bootstrapFirstStage() {
    auto bytes = pattern(32, 7);
    const std::string marker = "QLD1";
    std::copy(marker.begin(), marker.end(), bytes.begin());
    return {{0xFA40, bytes}};
}

std::vector<Segment> bootstrapProgram(size_t length) {
    auto bytes = pattern(length, 8);
    const std::string marker = "QPRG";
    std::copy(marker.begin(),
              marker.begin() + static_cast<std::ptrdiff_t>(std::min(length, marker.size())),
              bytes.begin());
    return {{0xF600, bytes}};
}

PanelFirmwareSet writePanelFirmware(const std::string& directory) {
    std::filesystem::create_directories(directory);
    PanelFirmwareSet set;
    set.largeApplication = join(directory, "DV43A410.S00");
    writeHex(set.largeApplication, panelApplication("P4.10", 0x60000));
    writeHex(join(directory, "DV43A410.LD2"), panelLoaderII(PanelLayout::Large));
    set.smallApplication = join(directory, "DV33A213.S00");
    writeHex(set.smallApplication, panelApplication("P2.13", 0x30000));
    writeHex(join(directory, "DV33A213.LP2"), panelLoaderII(PanelLayout::Small));
    set.loaderI = join(directory, "DV43A100.ld1");
    writeHex(set.loaderI, panelLoaderI());
    writeHex(join(directory, "DV43A100.LD2"), panelLoaderII(PanelLayout::Large));
    writeHex(join(directory, "Load.h67"), bootstrapFirstStage());
    writeHex(join(directory, "Prog.h67"), bootstrapProgram(300));
    set.strapperConfig = join(directory, "STRAPPER.CFG");
    writeFileAtomically(set.strapperConfig,
                        "REM test bootstrap of a DV43A\r\n"
                        "VERSION\r\n"
                        "COM = 19200, 8, N, 1\r\n"
                        "SIZE = 0x80000, 512\r\n"
                        "SERADR = 0x7F000\r\n"
                        "REVADR = 0x7F020\r\n"
                        "DATFILE = Strapper.dat\r\n"
                        "LOGFILE = strapper.log\r\n");
    return set;
}

}  // namespace fwgen
