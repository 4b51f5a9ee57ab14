// Transfer of loader 2 into the loader-1 RAM of the modules.
#include "link/amplifier/loader2_download.h"

#include <optional>

#include "link/amplifier/download_files.h"
#include "link/amplifier/loader_talk.h"
#include "link/channel/progress.h"
#include "link/images/block_text.h"
#include "link/images/intel_hex.h"
#include "link/images/srecord.h"

namespace quorlink::amplifier {

namespace {

constexpr const char* kNoTempFile = "Error opening loader2 temporary file.";
constexpr const char* kNoLoaderFile = "Error opening loader2 file. Maybe loader2 does not exist.";
constexpr int kMinimumBlocks = 66;
constexpr int64_t kLoaderBase = 4096;

int sendOlderSeriesLoader(std::FILE* image) {
    Channel& ch = channel();
    const auto address = ask("PRC1,3,A\r\n");
    if (!address) return -1;
    if (!address->starts_with("0")) ch.reportMessage("Error downloading Loader II Adress!", 0);
    for (int block = 32; block <= 40; ++block) {
        ch.reportProgress(percentDone(41 - block, 9));
        std::string command = "PRC1,3,D";
        if (RenderBlock128(command, block, command.size(), image, 0x00) < 0) {
            ch.reportMessage(kNoTempFile, 0);
            return -1;
        }
        ch.waitMs(100);
        const auto answer = ask(command);
        if (!answer) return -1;
        if (!answer->starts_with("0")) ch.reportMessage("Error downloading Loader II Datablock!", 0);
    }
    ch.waitMs(500);
    ch.waitMs(500);
    const auto started = ask("PRC1,3,S89\r\n");
    if (!started) return -1;
    if (!started->starts_with("0")) ch.reportMessage("Error starting Loader II!", 0);
    ch.waitMs(500);
    return 0;
}

// A temporary image and the opened loader file, or nullopt after reporting which one failed.
struct LoaderFiles {
    std::FILE* image;
    FileHandle file;
};

std::optional<LoaderFiles> openLoaderFiles(const std::string& path) {
    std::FILE* image = CreateTempImage();
    if (!image) {
        channel().reportMessage(kNoTempFile, 0);
        return std::nullopt;
    }
    FileHandle file = openFirmware(path);
    if (!file) {
        channel().reportMessage(kNoLoaderFile, 0);
        return std::nullopt;
    }
    return LoaderFiles{image, std::move(file)};
}

int olderSeries(const std::string& path) {
    Channel& ch = channel();
    ch.waitMs(500);
    const auto files = openLoaderFiles(path);
    if (!files) return -1;
    std::FILE* image = files->image;
    if (ConvertSRecord(files->file.get(), image, 50, 0, 0) != 0) {
        ch.reportMessage(std::string(kMotorolaError) + "\nMaybe Amplifier is not a WS003 device.", 0);
        return -1;
    }
    return sendOlderSeriesLoader(image);
}

int currentSeries(const std::string& path) {
    Channel& ch = channel();
    const auto files = openLoaderFiles(path);
    if (!files) return -1;
    std::FILE* image = files->image;
    std::FILE* file = files->file.get();
    int64_t lowest = -1, end = -1;
    const int scanned = ScanIntelHexRange(file, 0, -1, lowest, end);
    const int count = end - kLoaderBase > 8448 ? static_cast<int>((end - kLoaderBase) / 128 + 1)
                                               : kMinimumBlocks;
    if (scanned != 0 || ConvertIntelHex(file, image, count, -256, 128, 0xFF, 0, 0) != 0) {
        ch.reportMessage(kIntelHexError, 0);
        return -1;
    }
    for (int i = 0; i < count; ++i) {
        ch.reportProgress(percentDone(count - i, count - 1));
        std::string command = "PRC1,2,D";
        if (RenderBlock128(command, i, command.size(), image, 0xFF) < 0) {
            ch.reportMessage(kNoTempFile, 0);
            return -1;
        }
        const auto answer = ask(command);
        if (!answer) return -1;
        if (!answer->starts_with("0")) {
            ch.reportMessage("Error downloading Loader II Datablock!", 0);
            return -2;
        }
    }
    ch.waitMs(300);
    return 0;
}

}  // namespace

int downloadLoader2(const std::string& path, int firmwareType) {
    DeleteTempImages();
    const TempImagesScope images;
    if (!switchPanelOut(kTimeoutSelectedPort)) return -2;
    if (firmwareType == 1) return olderSeries(path);
    if (firmwareType >= 2 && firmwareType <= 4) return currentSeries(path);
    return 0;
}

}  // namespace quorlink::amplifier
