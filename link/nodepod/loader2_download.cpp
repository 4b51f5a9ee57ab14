#include "link/nodepod/loader2_download.h"

#include "link/images/block_text.h"
#include "link/images/srecord.h"
#include "link/nodepod/download_files.h"
#include "link/nodepod/image_kinds.h"
#include "link/nodepod/node_command.h"
#include "link/nodepod/packet_line.h"

namespace quorlink::nodepod {

namespace {

constexpr int64_t kLoader2Low = 0x400;
constexpr int64_t kLoader2High = 0x17FFF;
constexpr char kBadLoader2File[] =
    "Error in Loader2 File! \nChecksum-Error, or File is not a Motorola-S-Recordfile.";

int sendPackets(Channel& channel, std::FILE* image, int32_t nodeId, int64_t packets) {
    std::string hex;
    for (int64_t i = 0; i < packets; ++i) {
        channel.reportProgress(static_cast<int>(i * 100 / packets));
        if (RenderBlock64(hex, static_cast<int>(i), image, 0xFF) < 0) {
            channel.reportMessage("Error opening loader2 temporary file.", 0);
            return -1;
        }
        auto answer = exchange(channel, packetLine(nodeId, hex), kLongAnswer);
        if (!answer) return kTimedOut;
        if (!isAccepted(*answer)) {
            channel.reportMessage("Error downloading Loader 2 Datablock!", 0);
            return -3;
        }
    }
    return 0;
}

}  // namespace

int downLoader2(Channel& channel, const char* path, int32_t nodeId) {
    FirmwareFile file = openFirmwareFile(path);
    if (!file) {
        channel.reportMessage("Error opening loader2 file. Maybe loader2 does not exist!", 0);
        return -1;
    }
    TempImagesOfDownload cleanup;
    int64_t lowest = -1;
    int64_t end = -1;
    const int scan = ScanSRecordRange(file.get(), kLoader2Low, kLoader2High, lowest, end);
    std::FILE* image = CreateTempImage();
    if (!image) {
        channel.reportMessage("Error opening loader2 temporary file.", 0);
        return -1;
    }
    // A file without loader-2 data would start an empty loader: refuse it like a broken file.
    const int blocks = static_cast<int>((end - lowest) / kUnitSize + 16);
    if (scan != 0 || ConvertSRecord(file.get(), image, blocks, 1, -lowest) != 0) {
        channel.reportMessage(kBadLoader2File, 0);
        return -2;
    }
    return sendPackets(channel, image, nodeId, (end - lowest) / kPacketSize + 4);
}

}  // namespace quorlink::nodepod
