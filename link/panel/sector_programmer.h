#pragma once
// Writes one flash sector of the panel from a block image: its 128-byte pieces as "E", "F", "G"
// and the programming "B" command, checked against the sector's byte sum, repeated once.
#include <cstdint>
#include <cstdio>
#include <string>

#include "link/channel/channel.h"
#include "link/panel/flash_layout.h"

namespace quorlink::panel {

class SectorProgrammer {
  public:
    // `image` holds one sector per check-table entry (table A = the sectors' byte sums).
    SectorProgrammer(Channel& channel, std::FILE* image, FlashLayout layout, bool skipEmptyPieces);

    // 0, or -1 after a time-out or a sector that failed twice (the text is reported).
    int program(int sector);

  private:
    enum class Attempt { Good, BadSum, Timeout, ImageUnreadable };
    Attempt attempt(int sector);
    // Sends one piece with its command prefix; `answer` gets the reply. Good = answered.
    Attempt sendPiece(char prefix, int sector, int piece, std::string& answer);

    Channel& channel_;
    std::FILE* image_;
    FlashLayout layout_;
    bool skipEmptyPieces_;
};

}  // namespace quorlink::panel
