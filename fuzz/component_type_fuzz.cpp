// GetComponentType against fuzzed rack answers, for the processor, the panel and a slot: never
// crashes, never writes past the caller's buffers (the sanitizer watches them), lengths match.
#include <cstring>

#include "fuzz/fuzzed_rack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::againstFuzzedRack(data, size, [](FuzzedDataProvider& input) {
        const int positions[] = {34, 33, input.ConsumeIntegralInRange(0, 15)};
        const int position = positions[input.ConsumeIntegralInRange(0, 2)];
        char identity[1024] = {}, model[1024] = {}, hardware[1024] = {}, revisions[1024] = {};
        int32_t identityLength = 0, modelLength = 0, mode = 0, loader = 0, subChannels = 0;
        int32_t hardwareLength = 0, revisionsLength = 0;
        if (GetComponentType(2000, position, input.ConsumeIntegralInRange(0, 2), fuzz::quiet, identity,
                             &identityLength, model, &modelLength, &mode, &loader, &subChannels,
                             input.ConsumeIntegralInRange(0, 1), hardware, &hardwareLength, revisions,
                             &revisionsLength) == 0 &&
            static_cast<size_t>(identityLength) != std::strlen(identity))
            std::abort();
    });
    return 0;
}
