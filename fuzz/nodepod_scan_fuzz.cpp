// NodePod_NodeIDScan against fuzzed answers: never crashes, never writes past the 100-character
// text buffers the export promises to respect.
#include <cstring>

#include "fuzz/fuzzed_rack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::againstFuzzedRack(data, size, [](FuzzedDataProvider& input) {
        char name[100], firmware[100], loader1[100], hardware[100];
        int32_t state = 0, type = 0, serial = 0, nameLength = 0, firmwareLength = 0, loader1Length = 0,
                hardwareLength = 0;
        NodePod_NodeIDScan(2000, fuzz::quiet, input.ConsumeIntegralInRange(1, 127), &state, &type, &serial, name,
                           &nameLength, firmware, &firmwareLength, loader1, &loader1Length, hardware,
                           &hardwareLength);
        for (const int32_t length : {nameLength, firmwareLength, loader1Length, hardwareLength})
            if (length < 0 || length >= 100) std::abort();
    });
    return 0;
}
