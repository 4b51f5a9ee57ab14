#include "link/amplifier/block_transfer.h"

#include <string>

#include "link/amplifier/loader_talk.h"
#include "link/images/block_text.h"

namespace quorlink::amplifier {

namespace {

constexpr const char* kProgramError =
    "Error programming RA-Flash Datablock!\nBlocknumber: %4X\nExpected: %2X\nReceived: %2X";

int setAddress(int value) {
    const auto answer = ask(textf("PRC1,2,B00%04X\r\n", value));
    if (!answer) return -1;
    if (!answer->starts_with("0")) {
        channel().reportMessage("Error adressing RA-Flash!", 0);
        return -1;
    }
    return 0;
}

// The "D" command of a block; without data when `withData` is false.
int sendData(std::FILE* image, int block, uint8_t fill, bool withData) {
    std::string command = "PRC1,2,D";
    if (!withData) {
        command += "\r\n";
    } else if (RenderBlock128(command, block, command.size(), image, fill) < 0) {
        channel().reportMessage("Error opening Programming File.", 0);
        return -1;
    }
    const auto answer = ask(command);
    if (!answer) return -1;
    if (!answer->starts_with("0")) {
        channel().reportMessage("Error downloading RA-Flash Datablock!", 0);
        return -1;
    }
    return 0;
}

bool hasData(std::FILE* image, int block, uint8_t fill) {
    std::string scratch;
    return RenderBlock128(scratch, block, 0, image, fill) != 0;
}

uint8_t firstByte(const std::string& answer) {
    return answer.empty() ? 0 : static_cast<uint8_t>(answer[0]);
}

}  // namespace

int programBlock(std::FILE* image, int block, uint8_t blockSum, uint8_t fill, BlockPauses pauses) {
    if (setAddress(block) != 0) return -1;
    if (sendData(image, block, fill, hasData(image, block, fill)) != 0) return -1;
    channel().waitMs(pauses.beforeProgram);
    const auto answer = ask("PRC1,2,P\r\n", 2);
    if (!answer) return -1;
    const uint8_t received = firstByte(*answer);
    if (static_cast<uint8_t>(blockSum + received) != 0) {
        channel().reportMessage(textf(kProgramError, block, static_cast<uint8_t>(-blockSum), received), 0);
        return -1;
    }
    channel().waitMs(pauses.afterProgram);
    return 0;
}

int programPair(std::FILE* image, int i, const uint8_t* sums, uint8_t& total) {
    if (setAddress(i / 2) != 0) return -1;
    const bool secondHasData = hasData(image, i + 1, 0xFF);
    const bool firstHasData = hasData(image, i, 0xFF) || secondHasData;
    if (sendData(image, i, 0xFF, firstHasData) != 0) return -1;
    if (sendData(image, i + 1, 0xFF, secondHasData) != 0) return -1;
    channel().waitMs(6);
    const auto answer = ask("PRC1,2,F\r\n", 2);
    if (!answer) return -1;
    const uint8_t pairSum = static_cast<uint8_t>(sums[i] + sums[i + 1]);
    const uint8_t received = firstByte(*answer);
    if (static_cast<uint8_t>(pairSum + received) != 0) {
        channel().reportMessage(textf(kProgramError, i + 1, static_cast<uint8_t>(-pairSum), received), 0);
        return -1;
    }
    total = static_cast<uint8_t>(total + pairSum);
    channel().waitMs(20);
    return 0;
}

int checkTotals(uint32_t mask, uint8_t total) {
    for (int c = 15; c >= 0; --c) {
        if (!(mask & (1u << c))) continue;
        const auto answer = ask(textf("PRC1,2,C%02X\r\n", c + 1), 2);
        if (!answer) return -1;
        if (static_cast<uint8_t>(total + firstByte(*answer)) != 0) {
            channel().reportMessage(textf("Checksum Error RA-Flash Channel %02i", c + 1), 0);
            return -1;
        }
    }
    return 0;
}

}  // namespace quorlink::amplifier
