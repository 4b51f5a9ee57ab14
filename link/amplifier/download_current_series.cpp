// Types 2 and 3: Intel HEX, channel masks, loader-1 area, bank or sector erase, external pairs,
// main blocks and the total check of each channel.
#include <algorithm>

#include "link/amplifier/application_download.h"
#include "link/amplifier/block_transfer.h"
#include "link/amplifier/download_files.h"
#include "link/amplifier/external_image.h"
#include "link/amplifier/flash_erase.h"
#include "link/amplifier/loader_talk.h"
#include "link/channel/progress.h"
#include "link/images/check_tables.h"
#include "link/images/intel_hex.h"

namespace quorlink::amplifier {

namespace {

constexpr int64_t kType2ExternalFrom = 0x30001;
constexpr int64_t kType3ApplicationStart = 0x10000;

struct Images {
    std::FILE* main = nullptr;
    ExternalImage external;
};

int convertExternal(std::FILE* file, Images& images, int minimumBlocks, int endBlock,
                    int64_t paragraphs, int stamp) {
    images.external.image = CreateTempImage();
    if (!images.external.image) {
        channel().reportMessage("Error opening temporary data file 2.", 0);
        return -1;
    }
    const int blocks = pairImageBlocks(minimumBlocks, endBlock);
    if (blocks == 0 ||
        ConvertIntelHex(file, images.external.image, blocks, paragraphs, 128, 0xFF, stamp, 1) != 0)
        return failIntelHexConversion();
    return 0;
}

int prepareType2(const ApplicationJob& job, std::FILE* file, Images& images) {
    auto& ext = images.external;
    const int scanned = ScanIntelHexRange(file, kType2ExternalFrom, -1, ext.start, ext.end);
    if (scanned == -1) return failIntelHexConversion();
    if (scanned == 0) {
        const int count = static_cast<int>((ext.end - ext.start) / 128);
        if (convertExternal(file, images, count, pairEndBlock(ext.end, ext.start), -ext.start / 16, 0) != 0)
            return -1;
    }
    if (job.mainImageOff) return 0;
    if (ConvertIntelHex(file, images.main, kMainBlocks, -4096, 128, 0xFF, 255, 0) != 0)
        return failIntelHexConversion();
    return 0;
}

int prepareType3(const ApplicationJob& job, std::FILE* file, Images& images) {
    auto& ext = images.external;
    if (ScanIntelHexRange(file, 0, -1, ext.start, ext.end) != 0) return failIntelHexConversion();
    const int count = static_cast<int>(ext.end / 128 + (ext.end % 128 != 0 ? 5 : 0));
    return convertExternal(file, images, count, pairEndBlock(ext.end, 0), 0, job.moduleCode == 4 ? 3 : 2);
}

// Program mode 1: the loader-1 area of every channel, then loader 2 must still answer.
int programLoader1Area(const ApplicationJob& job, const Images& images) {
    eraseLoader1Areas(job);
    const bool wholeMemory = job.firmwareType == 3;
    std::FILE* image = wholeMemory ? images.external.image : images.main;
    const auto& tables = checkTables();
    for (int block = 0; block < kLoader1Blocks; ++block) {
        channel().reportProgress(percentDone(kLoader1Blocks - block, kLoader1Blocks));
        const uint8_t sum = wholeMemory ? tables.b[static_cast<size_t>(block)] : tables.a[static_cast<size_t>(block)];
        if (programBlock(image, block, sum, 0xFF, {6, 25}) != 0) return -1;
    }
    const int address = job.lastChannel() + 1;
    const auto answer = ask(textf("PRC1,2,I%02X\r\n", address), kLineAnswer,
                            textf("Port Timeout channel %02i !", address));
    if (!answer) return -1;
    if (!answer->starts_with("2")) {
        channel().reportMessage(textf("Error deactivating Loader2 channel %02i !", address), 0);
        return -1;
    }
    return 0;
}

int programMainBlocks(uint8_t& total, std::FILE* image) {
    const auto& tables = checkTables();
    for (int block = kLoader1Blocks; block < kMainBlocks; ++block) {
        channel().reportProgress(percentDone(kMainBlocks - block, kMainBlocks - kLoader1Blocks));
        const uint8_t sum = tables.a[static_cast<size_t>(block)];
        if (programBlock(image, block, sum, 0xFF, {}) != 0) return -1;
        total = static_cast<uint8_t>(total + sum);
    }
    return 0;
}

int programApplication(const ApplicationJob& job, const Images& images) {
    const auto& ext = images.external;
    if (job.firmwareType == 2) {
        eraseType2Banks(job);
    } else if (eraseType3Sectors(job, ext.start, ext.end) != 0) {
        return -2;
    }
    uint8_t total = 0;
    if (ext.image) {
        const int64_t base = job.firmwareType == 2 ? ext.start : 0;
        const int startBlock = job.firmwareType == 2
            ? 0
            : static_cast<int>(std::max(ext.start, job.programMode == kApplicationWithLoader1 ? 0 : kType3ApplicationStart) / 128);
        if (programPairs(ext, startBlock, pairEndBlock(ext.end, base), total) != 0) return -1;
    }
    if (job.firmwareType == 2 && !job.mainImageOff && programMainBlocks(total, images.main) != 0)
        return -1;
    return checkTotals(job.channelMask, total);
}

}  // namespace

int downloadTypes2And3(const ApplicationJob& job) {
    Images images;
    images.main = CreateTempImage();
    const FileHandle file = images.main ? openFirmware(job.path) : nullptr;
    if (!file) {
        channel().reportMessage("Error opening Programming File.", 0);
        return -1;
    }
    const int prepared = job.firmwareType == 2 ? prepareType2(job, file.get(), images)
                                               : prepareType3(job, file.get(), images);
    if (prepared != 0) return prepared;
    if (job.programMode == kLoader1Area) return programLoader1Area(job, images);
    return programApplication(job, images);
}

}  // namespace quorlink::amplifier
