// Converting the largest firmware images the loaders build: time per image, throughput, and the
// ratio to the 50 ms budget (conversion must stay far below 1 % of a download).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "link/images/intel_hex.h"
#include "link/images/srecord.h"
#include "link/images/temp_images.h"
#include "tools/fwgen/fwgen.h"

namespace {

constexpr double kBudgetMs = 50.0;
constexpr int kRounds = 10;

std::vector<uint8_t> firmwareBytes(size_t size) {
    std::mt19937 generator(7);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(generator());
    return bytes;
}

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

FilePtr writeFirmware(const std::filesystem::path& path, const std::string& text) {
    fwgen::writeFileAtomically(path.string(), text);
    return FilePtr(std::fopen(path.c_str(), "rt"), &std::fclose);
}

void measure(const char* name, size_t imageBytes, size_t fileBytes,
             const std::function<int(std::FILE* image)>& convert) {
    std::FILE* image = quorlink::CreateTempImage();
    if (!image || convert(image) != 0) {
        std::printf("%-44s conversion failed\n", name);
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) convert(image);
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    const double ms = elapsed.count() / kRounds;
    std::printf("%-44s %7.2f ms/image  image %6.1f MB/s  file %6.1f MB/s  budget ratio %.3f\n",
                name, ms, static_cast<double>(imageBytes) / ms / 1e3,
                static_cast<double>(fileBytes) / ms / 1e3, ms / kBudgetMs);
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "image_conversion_bench";
    std::filesystem::create_directories(dir);

    const auto panel = firmwareBytes(2048 * 512);
    const std::string panelText = fwgen::toIntelHex({{0, panel}});
    FilePtr panelFile = writeFirmware(dir / "panel.hex", panelText);
    measure("panel application, Intel HEX 2048 x 512", panel.size(), panelText.size(),
            [&](std::FILE* image) {
                return quorlink::ConvertIntelHex(panelFile.get(), image, 2048, 0, 512, 0x00, 0, 0);
            });

    const auto external = firmwareBytes(4096 * 128);
    const std::string externalText = fwgen::toIntelHex({{0x400000, external}});
    FilePtr externalFile = writeFirmware(dir / "external.hex", externalText);
    measure("amplifier external, Intel HEX 4096 x 128", external.size(), externalText.size(),
            [&](std::FILE* image) {
                return quorlink::ConvertIntelHex(externalFile.get(), image, 4096, -0x40000, 128,
                                                 0xFF, 0, 1);
            });

    const std::string srecordText = fwgen::toSRecord({{0x10000, external}});
    FilePtr srecordFile = writeFirmware(dir / "external.s28", srecordText);
    measure("amplifier external, S-record 4096 x 128", external.size(), srecordText.size(),
            [&](std::FILE* image) {
                return quorlink::ConvertSRecord(srecordFile.get(), image, 4096, 1, -0x10000);
            });

    quorlink::DeleteTempImages();
    panelFile.reset();
    externalFile.reset();
    srecordFile.reset();
    std::filesystem::remove_all(dir);
    return 0;
}
