#include "link/panel/block_protocol.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "link/panel/serial_bytes.h"

namespace quorlink::panel {

namespace {

constexpr uint16_t kEmptyBlock = 0x8000;
constexpr uint8_t kBlockSizeMarker = 0x40;

uint8_t byteSum(const std::vector<uint8_t>& bytes) {
    return static_cast<uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

// The program's one-byte answer: 0 accepted.
int acknowledged() {
    const auto answer = readByte();
    if (answer.status != ByteRead::Received) return kStrapperPortError;
    return answer.byte == 0 ? 0 : kStrapperFlashError;
}

int sendAndConfirm(const std::vector<uint8_t>& bytes) {
    if (!writeBytes(bytes)) return kStrapperPortError;
    return acknowledged();
}

int agreeBlockSize(int64_t blockSize) {
    const auto announced = static_cast<uint16_t>(blockSize + 1);
    std::vector<uint8_t> step{static_cast<uint8_t>(announced & 0xFF),
                              static_cast<uint8_t>((announced >> 8) | kBlockSizeMarker)};
    step.push_back(byteSum(step));
    return sendAndConfirm(step);
}

bool isFree(int64_t block, const StrapperParameters& p) {
    return std::any_of(p.freeRanges.begin(), p.freeRanges.end(), [&](const FreeRange& range) {
        return range.start / p.blockSize <= block && block <= range.end / p.blockSize;
    });
}

int sendBlock(int64_t block, const std::vector<uint8_t>& data) {
    const bool empty = std::all_of(data.begin(), data.end(), [](uint8_t b) { return b == 0; });
    const auto number = static_cast<uint16_t>((block | (empty ? kEmptyBlock : 0)) + 1);
    const std::vector<uint8_t> header{static_cast<uint8_t>(number & 0xFF),
                                      static_cast<uint8_t>(number >> 8)};
    if (int r = sendAndConfirm(header)) return r;
    if (!empty && !writeBytes(data)) return kStrapperPortError;
    const auto check = static_cast<uint8_t>(byteSum(header) + (empty ? 0 : byteSum(data)));
    return sendAndConfirm({check});
}

}  // namespace

int programImage(std::FILE* image, const StrapperParameters& p, StrapperReporter& reporter) {
    if (int r = agreeBlockSize(p.blockSize)) return r;
    if (std::fseek(image, 0, SEEK_SET) != 0) return kStrapperCannotOpen;
    reporter.restartProgressInterval();
    std::vector<uint8_t> data(static_cast<size_t>(p.blockSize));
    for (int64_t offset = 0; offset < p.imageSize; offset += p.blockSize) {
        if (std::fread(data.data(), 1, data.size(), image) != data.size())
            return kStrapperCannotOpen;
        const int64_t block = offset / p.blockSize;
        if (!isFree(block, p)) {
            if (int r = sendBlock(block, data)) return r;
        }
        reporter.progressAtMostEvery500ms(static_cast<int>(offset * 100 / p.imageSize));
    }
    reporter.progress(100);
    return 0;
}

}  // namespace quorlink::panel
