#pragma once
// Erasing and programming the application (and the loader-1 area, and external data) of one or
// several amplifier channels running loader 2.
#include <cstdint>
#include <string>

namespace quorlink::amplifier {

enum ProgramMode { kApplication = 0, kLoader1Area = 1, kApplicationWithLoader1 = 2 };

struct ApplicationJob {
    std::string path;
    int channel = 0;          // type 1
    int moduleCode = 0;
    uint32_t channelMask = 0; // types 2-4
    int firmwareType = 0;
    int programMode = kApplication;
    bool mainImageOff = false;

    int lastChannel() const;
    int channelCount() const;
    int markerFor(int c) const { return c == lastChannel() ? 0xFF : 0x55; }
};

// 0, -1 file, conversion, time-out, refusal or check error, -2 time-out on "PRC1,1" or a failed
// external or sector erase.
int downloadApplication(const ApplicationJob& job);

// The main image of types 2-4 in 128-byte blocks; the loader-1 area is its first blocks.
inline constexpr int kMainBlocks = 1024;
inline constexpr int kLoader1Blocks = 64;

// Reports a firmware file that is no valid Intel-hex file; returns -1.
int failIntelHexConversion();

int downloadOlderSeries(const ApplicationJob& job);
int downloadTypes2And3(const ApplicationJob& job);
int downloadType4(const ApplicationJob& job);

}  // namespace quorlink::amplifier
