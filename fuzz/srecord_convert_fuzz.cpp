// ConvertSRecord on any bytes: never crashes, and a converted image has exactly its size.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_files.h"
#include "link/images/srecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFile input;
    static fuzz::ScratchFile image;
    FuzzedDataProvider provider(data, size);
    const int mode = provider.ConsumeIntegralInRange(0, 1);
    const int blocks = provider.ConsumeIntegralInRange(0, 64);
    const int64_t offset = provider.ConsumeIntegralInRange<int64_t>(-0x20000, 0x2000);
    std::FILE* file = input.holding(provider.ConsumeRemainingBytes<uint8_t>());
    std::FILE* out = image.empty();
    if (quorlink::ConvertSRecord(file, out, blocks, mode, offset) == 0 &&
        image.size() != int64_t{blocks} * 128)
        std::abort();
    return 0;
}
