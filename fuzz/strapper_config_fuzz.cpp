// readStrapperConfig on any "STRAPPER.CFG": never crashes; the result is one of its codes and the
// parameters stay within their limits.
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "link/channel/channel.h"
#include "link/panel/strapper_config.h"

namespace {

// The configuration sits alone in its folder, so a log file it names lands there too.
const std::filesystem::path& folder() {
    static const std::filesystem::path path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz_strapperXXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        return std::filesystem::path(pattern);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A log file named with a path could be created (and truncated) anywhere: such inputs are skipped.
    if (std::memchr(data, '/', size)) return -1;
    const std::filesystem::path config = folder() / "STRAPPER.CFG";
    std::ofstream(config, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                     static_cast<std::streamsize>(size));
    quorlink::panel::StrapperParameters parameters;
    quorlink::panel::StrapperReporter reporter(quorlink::channel());
    const int result = quorlink::panel::readStrapperConfig(config.string(), parameters, reporter);
    if (result != 0 && result != -101 && result != -103 && result != -107) std::abort();
    if (parameters.hexFiles.size() > parameters.kMaxHexFiles) std::abort();
    // keep the folder from filling up with log files named by the inputs
    for (const auto& entry : std::filesystem::directory_iterator(folder()))
        if (entry.path() != config) std::filesystem::remove_all(entry.path());
    return 0;
}
