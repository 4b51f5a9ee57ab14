#include "link/panel/sector_programmer.h"

#include <cstdio>

#include "link/images/block_text.h"
#include "link/images/check_tables.h"
#include "link/panel/panel_commands.h"

namespace quorlink::panel {

namespace {

std::string pieceHead(char prefix, int sector) {
    char head[16];
    std::snprintf(head, sizeof head, "PRC2,2,%c%04X", prefix, sector);
    return head;
}

}  // namespace

SectorProgrammer::SectorProgrammer(Channel& channel, std::FILE* image, FlashLayout layout,
                                   bool skipEmptyPieces)
    : channel_(channel), image_(image), layout_(layout), skipEmptyPieces_(skipEmptyPieces) {}

SectorProgrammer::Attempt SectorProgrammer::sendPiece(char prefix, int sector, int piece,
                                                      std::string& answer) {
    std::string line = pieceHead(prefix, sector);
    const size_t head = line.size();
    const int dataBytes = RenderBlock128(line, piece, head, image_, 0x00);
    if (dataBytes < 0) return Attempt::ImageUnreadable;
    if (dataBytes == 0 && skipEmptyPieces_) appendLineEnd(line, head);
    const bool answered = sendPanelLine(channel_, line, answer, prefix == 'B') != Verdict::Timeout;
    return answered ? Attempt::Good : Attempt::Timeout;
}

SectorProgrammer::Attempt SectorProgrammer::attempt(int sector) {
    const bool large = layout_ == FlashLayout::Large;
    const std::string fillers = large ? "EFG" : "E";
    const int pieces = large ? 4 : 2;
    std::string answer;
    for (size_t i = 0; i < fillers.size(); ++i) {
        const auto sent =
            sendPiece(fillers[i], sector, sector * pieces + static_cast<int>(i), answer);
        if (sent != Attempt::Good) return sent;
        if (!answer.starts_with("0")) channel_.reportMessage("Error programming DV33-Flash!", 0);
    }
    const auto sent = sendPiece('B', sector, sector * pieces + pieces - 1, answer);
    if (sent != Attempt::Good) return sent;
    const auto expected = static_cast<char>(checkTables().a[static_cast<size_t>(sector)]);
    const bool good = sector == 0 || (!answer.empty() && answer[0] == expected);
    return good ? Attempt::Good : Attempt::BadSum;
}

int SectorProgrammer::program(int sector) {
    for (int tries = 0; tries < 2; ++tries) {
        switch (attempt(sector)) {
            case Attempt::Good:
                return 0;
            case Attempt::Timeout:
                channel_.reportMessage(kPortTimeout, 0);
                return -1;
            case Attempt::ImageUnreadable:
                channel_.reportMessage("Error opening Programming File.", 0);
                return -1;
            case Attempt::BadSum:
                break;
        }
    }
    channel_.reportMessage("Checksum-Error programming DV33-Flashblock!", 0);
    return -1;
}

}  // namespace quorlink::panel
