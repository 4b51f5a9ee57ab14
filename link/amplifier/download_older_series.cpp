// Type 1: one channel, S-record image, banks 0 and 1, two attempts per block.
#include "link/amplifier/application_download.h"
#include "link/amplifier/download_files.h"
#include "link/amplifier/loader_talk.h"
#include "link/channel/progress.h"
#include "link/images/block_text.h"
#include "link/images/check_tables.h"
#include "link/images/srecord.h"

namespace quorlink::amplifier {

namespace {

constexpr int kFirstBlock = 72;

bool acceptedMismatch(int bank, int block) { return bank == 0 && block >= 509 && block <= 511; }

// One attempt of B, D and P; the check answer's first byte, or nullopt after a time-out.
std::optional<uint8_t> attempt(std::FILE* image, int bank, int block) {
    Channel& ch = channel();
    ch.waitMs(20);
    const auto addressed = ask(textf("PRC1,2,B%02X%04X\r\n", bank, block));
    if (!addressed) return std::nullopt;
    if (!addressed->starts_with("0")) ch.reportMessage("Error adressing RA-Flash!", 0);
    ch.waitMs(20);
    std::string command = "PRC1,2,D";
    RenderBlock128(command, block + 512 * bank, command.size(), image, 0x00);
    const auto data = ask(command);
    if (!data) return std::nullopt;
    if (!data->starts_with("0")) ch.reportMessage("Error downloading RA-Flash Datablock!", 0);
    ch.waitMs(20);
    const auto check = ask("PRC1,2,P\r\n", 2);
    if (!check) return std::nullopt;
    return check->empty() ? 0 : static_cast<uint8_t>((*check)[0]);
}

int programBank(std::FILE* image, int bank) {
    const int last = bank == 0 ? 511 : 255;
    const auto& tables = checkTables();
    for (int block = kFirstBlock; block <= last; ++block) {
        channel().reportProgress(percentDone(511 - block, 511 - kFirstBlock));
        bool matched = false;
        for (int n = 0; n < 2 && !matched; ++n) {
            const auto received = attempt(image, bank, block);
            if (!received) return -1;
            matched = *received == tables.a[static_cast<size_t>(block + 512 * bank)];
        }
        if (!matched && !acceptedMismatch(bank, block)) {
            channel().reportMessage("Error programming RA-Flash Datablock!", 0);
            return -1;
        }
    }
    return 0;
}

}  // namespace

int downloadOlderSeries(const ApplicationJob& job) {
    Channel& ch = channel();
    std::FILE* image = CreateTempImage();
    const FileHandle file = image ? openFirmware(job.path) : nullptr;
    if (!file) {
        ch.reportMessage("Error opening Programming File.", 0);
        return -1;
    }
    if (ConvertSRecord(file.get(), image, 1024, 0, 0) != 0) {
        ch.reportMessage(kMotorolaError, 0);
        return -1;
    }
    const int address = job.channel + 1;
    const auto selected = ask(textf("PRC1,2,Q%02X%02X\r\n", job.moduleCode, address));
    if (!selected) return -1;
    if (!selected->starts_with("0")) {
        ch.reportMessage("Error selecting RA-Channel!", 0);
        return -1;
    }
    const int banks = checkTables().extendedAddress ? 2 : 1;
    for (int bank = 0; bank < banks; ++bank)
        if (programBank(image, bank) != 0) return -1;
    ch.waitMs(500);
    const auto total = ask(textf("PRC1,2,C%02X\r\n", address), 2);
    if (!total) return -1;
    const uint8_t received = total->empty() ? 0 : static_cast<uint8_t>((*total)[0]);
    if (static_cast<uint8_t>(checkTables().totalA + received) != 0) {
        ch.reportMessage("Error programming RA-Flash (Checksum)!", 0);
        return -1;
    }
    return 0;
}

}  // namespace quorlink::amplifier
