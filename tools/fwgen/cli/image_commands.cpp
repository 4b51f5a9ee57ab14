// fwgen srec / fwgen ihex: one block of bytes at an address into a firmware file.
#include <memory>

#include "tools/fwgen/cli/commands.h"
#include "tools/fwgen/cli/input_bytes.h"
#include "tools/fwgen/fwgen.h"

namespace fwgen::cli {

namespace {

struct ImageArguments {
    std::string out;
    uint32_t address = 0;
    std::string input;
    size_t randomSize = 0;
    uint32_t seed = 1;
    size_t bytesPerRecord = 16;

    Segment segment() const {
        return {address, input.empty() ? patternBytes(randomSize, seed) : readRawFile(input)};
    }
};

void addImageOptions(CLI::App& command, ImageArguments& arguments) {
    command.add_option("--out", arguments.out, "firmware file to write")->required();
    command.add_option("--address", arguments.address, "address of the first byte (0x.. allowed)");
    CLI::Option_group* source = command.add_option_group("source", "where the bytes come from");
    source->add_option("--input", arguments.input, "raw bytes to place")->check(CLI::ExistingFile);
    auto* random = source->add_option("--random", arguments.randomSize,
                                      "instead of --input: this many pseudo-random bytes");
    source->require_option(1);
    command.add_option("--seed", arguments.seed, "seed of the pseudo-random bytes")->needs(random);
    command.add_option("--bytes-per-record", arguments.bytesPerRecord,
                       "data bytes per record (default 16)");
}

}  // namespace

void addSRecordCommand(CLI::App& app) {
    auto arguments = std::make_shared<ImageArguments>();
    auto header = std::make_shared<std::string>("fwgen");
    auto forceS2 = std::make_shared<bool>(false);
    CLI::App* command = app.add_subcommand("srec", "write a Motorola S-record file");
    addImageOptions(*command, *arguments);
    command->add_option("--header", *header, "S0 header text");
    command->add_flag("--s2", *forceS2, "S2 records also below 0x10000");
    command->callback([arguments, header, forceS2] {
        const SRecordOptions options{*header, arguments->bytesPerRecord, *forceS2};
        writeFileAtomically(arguments->out, toSRecord({arguments->segment()}, options));
    });
}

void addIntelHexCommand(CLI::App& app) {
    auto arguments = std::make_shared<ImageArguments>();
    auto segmented = std::make_shared<bool>(false);
    CLI::App* command = app.add_subcommand("ihex", "write an Intel HEX file");
    addImageOptions(*command, *arguments);
    command->add_flag("--segment", *segmented,
                      "extended segment (02) instead of extended linear (04) records");
    command->callback([arguments, segmented] {
        const IntelHexOptions options{arguments->bytesPerRecord,
                                      *segmented ? HexAddressing::Segment : HexAddressing::Linear};
        writeFileAtomically(arguments->out, toIntelHex({arguments->segment()}, options));
    });
}

}  // namespace fwgen::cli
