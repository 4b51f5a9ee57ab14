// Type 4: internal flash (image byte 0 = 0xC00000) and external flash (0x400000-0x4FFFFF).
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

constexpr int64_t kExternalFrom = 0x400000;
constexpr int64_t kExternalTo = 0x500000;

int prepareExternal(const ApplicationJob& job, std::FILE* file, ExternalImage& ext) {
    const int scanned = ScanIntelHexRange(file, kExternalFrom, kExternalTo, ext.start, ext.end);
    if (job.programMode == kLoader1Area) return 0;
    if (scanned == -1) return failIntelHexConversion();
    if (scanned != 0) return 0;
    ext.image = CreateTempImage();
    if (!ext.image) {
        channel().reportMessage("Error opening temporary data file 2.", 0);
        return -1;
    }
    const int64_t bytes = ext.end - ext.start;
    const int count = static_cast<int>(bytes / 128 + (bytes % 128 != 0 ? 5 : 0));
    const int blocks = pairImageBlocks(count, pairEndBlock(ext.end, ext.start));
    if (blocks == 0 ||
        ConvertIntelHex(file, ext.image, blocks, -ext.start / 16, 128, 0xFF, 0, 1) != 0) {
        ext.image = nullptr;
        return failIntelHexConversion();
    }
    return 0;
}

int programMain(const ApplicationJob& job, std::FILE* image, uint8_t& total) {
    const int first = job.programMode == kApplication ? kLoader1Blocks : 0;
    const int end = job.programMode == kLoader1Area ? kLoader1Blocks : kMainBlocks;
    const auto& tables = checkTables();
    for (int block = first; block < end; ++block) {
        channel().reportProgress(percentDone(end - block, end - first));
        const uint8_t sum = tables.a[static_cast<size_t>(block)];
        if (programBlock(image, block, sum, 0x00, {}) != 0) return -1;
        if (block >= kLoader1Blocks) total = static_cast<uint8_t>(total + sum);
    }
    return 0;
}

}  // namespace

int downloadType4(const ApplicationJob& job) {
    const FileHandle file = openFirmware(job.path);
    std::FILE* main = file && !job.mainImageOff ? CreateTempImage() : nullptr;
    if (!file || (!job.mainImageOff && !main)) {
        channel().reportMessage("Error opening Programming File.", 0);
        return -1;
    }
    if (main && ConvertIntelHex(file.get(), main, kMainBlocks, -0xC0000, 128, 0x00, 255, 0) != 0)
        return failIntelHexConversion();
    ExternalImage ext;
    if (const int result = prepareExternal(job, file.get(), ext); result != 0) return result;
    if (const int result = eraseType4(job, ext.image != nullptr, ext.start, ext.end); result != 0)
        return result;
    uint8_t total = 0;
    if (ext.image && programPairs(ext, 0, pairEndBlock(ext.end, ext.start), total) != 0) return -1;
    if (main && programMain(job, main, total) != 0) return -1;
    if (job.programMode == kLoader1Area) return 0;
    return checkTotals(job.channelMask, total);
}

}  // namespace quorlink::amplifier
