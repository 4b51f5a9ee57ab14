#pragma once
// What one bootstrap run works with: the defaults, changed by the configuration file and the
// caller's arguments.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorlink::panel {

struct FreeRange {
    int64_t start = 0;
    int64_t end = 0;
};

struct StrapperParameters {
    static constexpr size_t kMaxHexFiles = 4;
    static constexpr size_t kMaxFreeRanges = 4;
    static constexpr size_t kMaxTextLength = 31;

    int port = 0;
    long baudRate = 0;
    int bitsPerChar = 0;
    std::string parity;  // one lower-case letter, empty = none
    int stopBits = 0;
    bool transfer = false;  // ask the KX43 to pass its serial port through to the panel
    int64_t imageSize = 0x80000;
    int64_t blockSize = 512;
    std::vector<FreeRange> freeRanges{{0xEE00, 0xFFFF}};
    std::optional<int64_t> serialAddress;
    std::string serialNumber;
    std::optional<int64_t> revisionAddress;
    std::string revisionNumber;
    std::string loadFile = "Load.h67";
    std::string programFile = "Prog.h67";
    std::string imageFile = "Strapper.dat";
    std::vector<std::string> hexFiles;
};

}  // namespace quorlink::panel
