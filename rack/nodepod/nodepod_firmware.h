#pragma once
// How NodePod firmware lays itself out in a head's memory, and builders of such firmware for the
// test-firmware writer and the simulated heads. Application and loader 1 live in the 24-bit flash
// 0xC0000-0xFFFFF; loader 2 is linked to run from RAM.
#include <cstdint>
#include <string>
#include <vector>

namespace nodepod_firmware {

constexpr uint32_t kFlashStart = 0xC0000;
constexpr uint32_t kFlashEnd = 0xFFFFF;       // last byte
constexpr uint32_t kRestartVector = 0xF9F00;  // last 256 bytes of the application area
constexpr uint32_t kLoader1Start = 0xFA000;
constexpr uint32_t kLoader1Entry = 0xFA004;
constexpr uint32_t kOldLoader2Address = 0x400;    // loader 2 of hardware revisions below 3
constexpr uint32_t kNewLoader2Address = 0x10000;  // loader 2 of revisions 3 and above

// Application header at kFlashStart: magic, entry address, type number, name, version.
constexpr char kApplicationMagic[] = "NPAP";
constexpr char kRestartMagic[] = "NPRV";  // at kRestartVector, followed by the entry address
constexpr char kLoader1Magic[] = "NPL1";  // at kLoader1Start; version at +8
constexpr char kLoader2Magic[] = "NPL2";  // at its link address; see Loader2Header

enum class Hardware : uint8_t { Old = 1, New = 2 };
// Hardware revisions read as numbers of 3 and above are the new flash layout.
Hardware hardwareOfRevision(const std::string& revision);

struct Segment {
    uint32_t address = 0;
    std::vector<uint8_t> data;
};

struct ApplicationInfo {
    uint16_t typeNumber = 0;
    std::string name;     // up to 31 characters
    std::string version;  // up to 15 characters
    uint32_t entry = kFlashStart + 0x100;
    uint32_t codeSize = 0x3000;  // bytes of code after the header
};

struct LoaderInfo {
    std::string version;  // up to 15 characters
    Hardware hardware = Hardware::Old;
};

// Header, code (deterministic bytes derived from the version) and the restart vector.
std::vector<Segment> buildApplication(const ApplicationInfo& info);
// Loader 1 fills 0xFA000-0xFFFFF sparsely: header, code, and its vectors at the top.
std::vector<Segment> buildLoader1(const LoaderInfo& info);
// Loader 2 at the address its hardware expects; its header carries length and byte sum.
std::vector<Segment> buildLoader2(const LoaderInfo& info);

// Decoders used by the simulated heads; empty/false when the bytes do not hold the structure.
struct ApplicationHeader {
    bool valid = false;
    uint32_t entry = 0;
    uint16_t typeNumber = 0;
    std::string name;
    std::string version;
};
ApplicationHeader readApplicationHeader(const uint8_t* bytes, size_t size);
// The restart vector's entry address, or 0 when none is written.
uint32_t readRestartEntry(const uint8_t* bytes, size_t size);
// Loader 1's version, or empty when no loader 1 is present.
std::string readLoader1Version(const uint8_t* bytes, size_t size);

struct Loader2Header {
    bool valid = false;  // magic, length and byte sum all check out
    Hardware hardware = Hardware::Old;
    uint32_t linkAddress = 0;
    std::string version;
};
Loader2Header readLoader2(const uint8_t* bytes, size_t size);

}  // namespace nodepod_firmware
