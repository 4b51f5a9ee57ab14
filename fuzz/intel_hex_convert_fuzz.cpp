// ConvertIntelHex on any bytes: never crashes, and a converted image has exactly its size.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_files.h"
#include "link/images/intel_hex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFile input;
    static fuzz::ScratchFile image;
    static constexpr int kSizes[] = {64, 128, 256, 512};
    static constexpr int kStamps[] = {0, 2, 3, 255};
    FuzzedDataProvider provider(data, size);
    const int mode = provider.ConsumeIntegralInRange(0, 1);
    const int blocks = provider.ConsumeIntegralInRange(0, 64);
    const int blockSize = provider.PickValueInArray(kSizes);
    const int stamp = provider.PickValueInArray(kStamps);
    const int64_t paragraphs = provider.ConsumeIntegralInRange<int64_t>(-0x50000, 0x100);
    const uint8_t fill = provider.ConsumeIntegral<uint8_t>();
    std::FILE* file = input.holding(provider.ConsumeRemainingBytes<uint8_t>());
    std::FILE* out = image.empty();
    if (quorlink::ConvertIntelHex(file, out, blocks, paragraphs, blockSize, fill, stamp, mode) ==
            0 &&
        image.size() != int64_t{blocks} * blockSize)
        std::abort();
    return 0;
}
