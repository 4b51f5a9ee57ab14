// fwgen raw: a raw image of pseudo-random bytes, e.g. as input for srec/ihex or a raw firmware.
#include <memory>

#include "tools/fwgen/cli/commands.h"
#include "tools/fwgen/cli/input_bytes.h"
#include "tools/fwgen/fwgen.h"

namespace fwgen::cli {

void addRawCommand(CLI::App& app) {
    struct Arguments {
        std::string out;
        size_t size = 0;
        uint32_t seed = 1;
    };
    auto arguments = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand("raw", "write pseudo-random raw bytes");
    command->add_option("--out", arguments->out, "file to write")->required();
    command->add_option("--size", arguments->size, "number of bytes")->required();
    command->add_option("--seed", arguments->seed, "seed (same seed, same bytes)");
    command->callback([arguments] {
        const std::vector<uint8_t> bytes = patternBytes(arguments->size, arguments->seed);
        writeFileAtomically(arguments->out, std::string(bytes.begin(), bytes.end()));
    });
}

}  // namespace fwgen::cli
