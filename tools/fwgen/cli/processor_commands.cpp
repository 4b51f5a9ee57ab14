// fwgen kx33 / kx43: processor firmware, a raw KX33 image or a KX43 firmware directory.
#include <filesystem>
#include <memory>

#include "tools/fwgen/cli/commands.h"
#include "tools/fwgen/fwgen.h"
#include "tools/fwgen/processor_firmware.h"

namespace fwgen::cli {

namespace {
// "P" digit "." two digits, as the processors report it.
const CLI::Validator kVersion(
    [](const std::string& v) {
        const bool ok = v.size() == 5 && v[0] == 'P' &&
                        std::isdigit(static_cast<unsigned char>(v[1])) && v[2] == '.' &&
                        std::isdigit(static_cast<unsigned char>(v[3])) &&
                        std::isdigit(static_cast<unsigned char>(v[4]));
        return ok ? std::string() : "version must look like P2.06";
    },
    "VERSION");
}  // namespace

void addKx33Command(CLI::App& app) {
    struct Arguments {
        std::string out;
        std::string version;
        size_t blocks = 1024;
        uint32_t seed = 1;
        bool functions = false;
    };
    auto arguments = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand("kx33", "write a raw KX33 image of 512-byte blocks");
    command->add_option("--out", arguments->out, "file to write")->required();
    command->add_option("--version", arguments->version, "embedded version, e.g. P2.06")
        ->required()
        ->check(kVersion);
    command->add_option("--blocks", arguments->blocks, "number of 512-byte blocks")
        ->capture_default_str();
    command->add_option("--seed", arguments->seed, "seed (same seed, same bytes)");
    command->add_flag("--functions", arguments->functions,
                      "also write KX33.CFG beside the image, offering its download");
    command->callback([arguments] {
        const auto bytes = kx33Image(arguments->version, arguments->blocks * 512, arguments->seed);
        writeFileAtomically(arguments->out, std::string(bytes.begin(), bytes.end()));
        if (!arguments->functions) return;
        const std::filesystem::path image(arguments->out);
        writeFileAtomically((image.parent_path() / "KX33.CFG").string(),
                            kx33FunctionFile(image.filename().string(), arguments->blocks));
    });
}

void addKx43Command(CLI::App& app) {
    struct Arguments {
        std::string directory;
        std::string version;
        uint32_t seed = 1;
        std::string functions;
    };
    auto arguments = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        "kx43",
        "write a KX43 firmware directory: the ten files of the full firmware and kx43load.exe");
    command->add_option("--dir", arguments->directory, "directory to fill (created)")->required();
    command->add_option("--version", arguments->version, "embedded version, e.g. P2.06")
        ->required()
        ->check(kVersion);
    command->add_option("--seed", arguments->seed, "seed (same seed, same bytes)");
    command->add_option("--functions", arguments->functions,
                        "also write this function file (KX43.CFG, or KXxx.CFG for a KX63)");
    command->callback([arguments] {
        writeKx43Firmware(arguments->directory, arguments->version, arguments->seed);
        if (!arguments->functions.empty())
            writeFileAtomically(
                (std::filesystem::path(arguments->directory) / arguments->functions).string(),
                kx43FunctionFile());
    });
}

}  // namespace fwgen::cli
