#pragma once
// File-system update of the KX43 family and the start of its new firmware.
#include <cstdint>
#include <string>

namespace quorlink::processor {

struct Kx43Update {
    std::string directory;
    int32_t variant = 0;
    int32_t fileCount = 0;
    std::string fileList;
    int32_t restartWait = 0;  // seconds
};

// The longest answer read from the interpreter.
constexpr int32_t kKx43AnswerLimit = 100;

int updateKx43(const Kx43Update& update);
int establishKx43(int32_t restartWait, int32_t variant);

// Restart wait in 200 ms steps: five per second, ten for the newer generation (variant 5).
inline int restartSteps(int32_t restartWait, int32_t variant) {
    return restartWait * (variant == 5 ? 10 : 5);
}

}  // namespace quorlink::processor
