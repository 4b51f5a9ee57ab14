#pragma once
// Block download and upload of the KX33 processor's flash, and the restart of its system.
#include <cstdint>
#include <string>

namespace quorlink::processor {

struct Kx33Blocks {
    int32_t firstBlock = 0;
    int32_t blockCount = 0;
    int32_t blockSize = 512;
    int32_t formatVersion = 0;
};

// Blocks are built into one command line of at most 1,200 characters.
constexpr int32_t kKx33LargestBlock = 590;
// Flashing reports one line per sector of this many bytes.
constexpr int32_t kKx33SectorBytes = 0x20000;
// The longest answer to a command that replies with a short status.
constexpr int32_t kKx33ShortAnswer = 25;

int updateKx33(const std::string& imagePath, const Kx33Blocks& blocks, int32_t emptyFlashValue);
int uploadKx33(const std::string& targetPath, const Kx33Blocks& blocks);
int establishKx33(int32_t restartWait);

// Sends "PRC300,0": 0 when the processor is back in measurement mode, -50 or -51 otherwise.
int restartMeasurementMode();

}  // namespace quorlink::processor
