// One configuration file of the program directory on any bytes ("ws.cfg", "NodePod.cfg" or
// "kx.cfg", chosen by CONFIG_TABLE at build time): never crashes, and no table grows past the
// rows it holds.
#include "fuzz/operator_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::OperatorServices services;
    services.forget();
    quorvel::ConfigTables tables;
#if CONFIG_TABLE == 0
    services.holding("ws.cfg", data, size);
    quorvel::ReadAmplifierTable(services.context(), tables.amplifiers);
    if (tables.amplifiers.size() > quorvel::ConfigTables::kAmplifierRows) std::abort();
#elif CONFIG_TABLE == 1
    services.holding("NodePod.cfg", data, size);
    quorvel::ReadNodePodTable(services.context(), tables.nodePods);
    if (tables.nodePods.size() > quorvel::ConfigTables::kNodePodRows) std::abort();
#else
    services.holding("kx.cfg", data, size);
    quorvel::ReadProcessorTable(services.context(), tables.processors);
    if (tables.processors.size() > quorvel::ConfigTables::kProcessorRows) std::abort();
#endif
    return 0;
}
