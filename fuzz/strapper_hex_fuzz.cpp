// The bootstrap readers on any bytes: never crash, never grow the image beyond its size, never
// return more bytes than allowed.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_files.h"
#include "link/images/strapper_hex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFile input;
    static fuzz::ScratchFile image;
    static fuzz::ScratchPath path;
    constexpr int64_t kImageSize = 0x2000;
    FuzzedDataProvider provider(data, size);
    const size_t maximum = provider.ConsumeIntegralInRange<size_t>(0, 1024);
    const std::vector<uint8_t> text = provider.ConsumeRemainingBytes<uint8_t>();

    std::FILE* out = image.empty();
    if (quorlink::ClearImage(out, kImageSize) != 0) std::abort();
    const auto progress = [](int percent) {
        if (percent < 0 || percent > 100) std::abort();
    };
    quorlink::CopyHexToImage(input.holding(text), out, progress, kImageSize);
    if (image.size() != kImageSize) std::abort();

    std::vector<uint8_t> bytes;
    if (quorlink::ReadHexBytes(bytes, path.holding(text), maximum) == 0 && bytes.size() > maximum)
        std::abort();
    return 0;
}
