// ScanSRecordRange on any bytes: never crashes; a found range lies inside the window.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_files.h"
#include "link/images/srecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFile input;
    FuzzedDataProvider provider(data, size);
    const int64_t low = provider.ConsumeIntegralInRange<int64_t>(0, 0x20000);
    const int64_t high = provider.ConsumeIntegralInRange<int64_t>(0, 0x1000000);
    std::FILE* file = input.holding(provider.ConsumeRemainingBytes<uint8_t>());
    int64_t lowest = 0, end = 0;
    const int result = quorlink::ScanSRecordRange(file, low, high, lowest, end);
    if (result == 0 && (lowest < low || end > high)) std::abort();
    if (result != 0 && (lowest != -1 || end != -1)) std::abort();
    return 0;
}
