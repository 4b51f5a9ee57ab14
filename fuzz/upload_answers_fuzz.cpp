// The flash, EEPROM and KX33 uploads against fuzzed rack answers: never crash, and a failed
// upload leaves no file behind.
#include <unistd.h>

#include <filesystem>

#include "fuzz/fuzzed_rack.h"

namespace {

std::filesystem::path folder() {
    static const std::filesystem::path path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz_uploadXXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        return std::filesystem::path(pattern);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::filesystem::remove_all(folder());
    std::filesystem::create_directories(folder());
    const std::string target = (folder() / "upload.bin").string();
    int result = 0;
    fuzz::againstFuzzedRack(data, size, [&](FuzzedDataProvider& input) {
        switch (input.ConsumeIntegralInRange(0, 2)) {
            case 0:
                result = UpLoadRAFlash(2000, input.ConsumeIntegralInRange(0, 15), 0, fuzz::quiet, fuzz::quiet,
                                       target.c_str(), 0, 0, input.ConsumeIntegralInRange(2, 4), 0,
                                       input.ConsumeIntegralInRange(0, 1));
                break;
            case 1:
                result = UpLoadRAEEPROM(2000, input.ConsumeIntegralInRange(0, 15), fuzz::quiet, fuzz::quiet,
                                        (folder() / "eeprom").c_str());
                break;
            default:
                result = UploadKX33(2000, fuzz::quiet, fuzz::quiet, fuzz::quiet, nullptr, target.c_str(), "",
                                    input.ConsumeIntegralInRange(0, 8), input.ConsumeIntegralInRange(1, 8), 512, 0, 0,
                                    0);
        }
    });
    if (result != 0 && std::filesystem::exists(target)) std::abort();
    return 0;
}
