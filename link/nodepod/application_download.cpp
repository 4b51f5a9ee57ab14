#include "link/nodepod/application_download.h"

#include <algorithm>
#include <string>
#include <vector>

#include "link/images/block_text.h"
#include "link/images/check_tables.h"
#include "link/images/srecord.h"
#include "link/nodepod/download_files.h"
#include "link/nodepod/image_kinds.h"
#include "link/nodepod/node_command.h"
#include "link/nodepod/packet_line.h"

namespace quorlink::nodepod {

namespace {

constexpr char kBadFirmwareFile[] =
    "Error in application firmware file! \nChecksum-Error, or File is not a "
    "Motorola-S-Recordfile.";
constexpr char kNoTemporaryFile[] =
    "Error opening temporary firmware file!\nMaybe your disk is full.";
constexpr int64_t kChecksumWindow = 0x8000;

struct Download {
    Channel& channel;
    int32_t nodeId;
    ImageKind kind;
    std::FILE* image = nullptr;
    int64_t lowest = 0;  // address of image byte 0
    int64_t end = 0;     // highest end address found in the window
};

int eraseBanks(const Download& d, int32_t hardwareCode) {
    for (const int bank : banksToErase(d.kind, hardwareCode)) {
        auto answer = exchange(d.channel, command("PCH21", {d.nodeId, bank}), kLongAnswer);
        if (!answer) return kTimedOut;
        if (!isAccepted(*answer)) {
            d.channel.reportMessage("Error erasing flash bank " + std::to_string(bank) + "!\r\n",
                                    0);
            return -5;
        }
    }
    return 0;
}

// Renders the four packets of the group at unit u; false when the image cannot be read.
bool renderGroup(const Download& d, int64_t unit, int64_t firstUnit, std::vector<std::string>& hex,
                 bool& erased) {
    erased = true;
    for (int k = 0; k < 4; ++k) {
        const auto packet = static_cast<int>(2 * (unit - firstUnit) + k);
        const int differing = RenderBlock64(hex[static_cast<size_t>(k)], packet, d.image, 0xFF);
        if (differing < 0) return false;
        if (differing > 0) erased = false;
    }
    return true;
}

int sendGroup(const Download& d, int64_t unit, const std::vector<std::string>& hex) {
    const int64_t block = unit * 64 / 128;
    auto answer = exchange(d.channel, command("PCH22", {d.nodeId, block}), kLongAnswer);
    if (!answer) return kTimedOut;
    if (!isAccepted(*answer)) {
        d.channel.reportMessage("Error setting block number!", 0);
        return -7;
    }
    for (size_t k = 0; k < hex.size(); ++k) {
        answer = exchange(d.channel, packetLine(d.nodeId, hex[k]), kLongAnswer);
        if (!answer) return kTimedOut;
        if (!isAccepted(*answer)) {
            d.channel.reportMessage("Error downloading datablock " + std::to_string(unit) +
                                        ", packet " + std::to_string(k) + "!",
                                    0);
            return -8;
        }
    }
    answer = exchange(d.channel, command("PCH23", {d.nodeId, groupChecksum(hex)}), kLongAnswer);
    if (!answer) return kTimedOut;
    if (!isAccepted(*answer)) {
        d.channel.reportMessage(d.kind == ImageKind::RestartVector
                                    ? std::string("Error establishing restart vector!")
                                    : "Error flashing datablock " + std::to_string(block) + "!",
                                0);
        return -9;
    }
    return 0;
}

int sendGroups(const Download& d, const UnitRange& units) {
    const int64_t firstUnit = d.lowest / kUnitSize;
    const int64_t progressSpan = std::max<int64_t>(1, (d.end - d.lowest + 2) / kUnitSize);
    checkTables().wordSum = 0;
    std::vector<std::string> hex(4);
    for (int64_t unit = units.start; unit < units.end; unit += 2) {
        d.channel.reportProgress(static_cast<int>((unit - firstUnit) * 100 / progressSpan));
        bool erased = true;
        if (!renderGroup(d, unit, firstUnit, hex, erased)) {
            d.channel.reportMessage(kNoTemporaryFile, 0);
            return -3;
        }
        if (erased) continue;
        if (const int result = sendGroup(d, unit, hex)) return result;
    }
    return 0;
}

// The node sums its flash over the range in windows of 32 KiB; the total must equal the words
// that were rendered (both taken modulo 2^32).
int checkNodeChecksum(const Download& d, const UnitRange& units, uint32_t imageChecksum) {
    const int64_t first = units.start * kUnitSize;
    const int64_t last = units.end * kUnitSize - 1;
    uint32_t sum = 0;
    for (int64_t window = first; window <= last; window += kChecksumWindow) {
        const int64_t windowEnd = std::min(window + kChecksumWindow - 1, last);
        auto answer =
            exchange(d.channel, command("PCH25", {d.nodeId, window, windowEnd}), kLongAnswer);
        if (!answer) return kTimedOut;
        if (!isAccepted(*answer)) {
            d.channel.reportMessage("Error initialising checksum test!", 0);
            return -8;
        }
        answer = exchange(d.channel, command("PCH?25", {d.nodeId}), kLongAnswer);
        if (!answer) return kTimedOut;
        if (isRefused(*answer)) {
            d.channel.reportMessage(
                "Can't read checksum of Node ID " + std::to_string(d.nodeId) + "!\r\n", 0);
            return -9;
        }
        sum += static_cast<uint32_t>(leadingNumber(*answer));
    }
    if (sum == imageChecksum) return 0;
    d.channel.reportMessage("Checksum Error Node ID " + std::to_string(d.nodeId) + "!\r\n", 0);
    return -10;
}

}  // namespace

int downApplication(Channel& channel, const ApplicationDownload& request) {
    const auto kind = imageKindFromCode(request.imageKind);
    if (!kind) {
        channel.reportMessage(
            "Unknown NODEPOD image kind " + std::to_string(request.imageKind) + "!", 0);
        return -2;
    }
    FirmwareFile file = openFirmwareFile(request.path);
    if (!file) {
        channel.reportMessage("Error opening application firmware file!", 0);
        return -2;
    }
    TempImagesOfDownload cleanup;
    Download d{channel, request.nodeId, *kind};
    const AddressWindow window = addressWindow(*kind);
    const int scan = ScanSRecordRange(file.get(), window.low, window.high, d.lowest, d.end);
    d.image = CreateTempImage();
    if (!d.image) {
        channel.reportMessage(kNoTemporaryFile, 0);
        return -3;
    }
    // A file without data in the window is refused: there would be nothing to write.
    const int blocks = static_cast<int>((d.end - d.lowest) / kUnitSize + 8);
    if (scan != 0 || ConvertSRecord(file.get(), d.image, blocks, 1, -d.lowest) != 0) {
        channel.reportMessage(kBadFirmwareFile, 0);
        return -4;
    }
    if (const int result = eraseBanks(d, request.hardwareCode)) return result;
    const UnitRange units = unitsToSend(*kind, d.lowest, d.end);
    if (const int result = sendGroups(d, units)) return result;
    const uint32_t imageChecksum = checkTables().wordSum;
    DeleteTempImages();
    return checkNodeChecksum(d, units, imageChecksum);
}

}  // namespace quorlink::nodepod
