// KX33 firmware update: boot loader, block parameters, blocks into RAM with a check per block,
// RAM checksum, burning with one line per flash sector, flash checksum, measurement mode.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/channel/channel.h"
#include "link/processor/kx33.h"
#include "link/processor/kx33_block_checks.h"
#include "link/processor/processor_common.h"
#include "linkpad/linkpad.h"

namespace quorlink::processor {

namespace {

constexpr int kBlockAnswer = 30;

// A step whose answer must begin with "0": its time-out result, its refusal result (after the
// measurement-mode restart), or 0.
struct Step {
    std::string command;
    int timeoutResult;
    const char* refusedText;
    int refusedResult;
};

int runStep(const Step& step) {
    Channel& ch = channel();
    std::string answer;
    if (ch.query(step.command + "\r\n", answer, kKx33ShortAnswer) != 0) {
        ch.reportMessage("Port Timeout!", 0);
        return step.timeoutResult;
    }
    if (answer.starts_with("0")) return 0;
    ch.reportMessage(step.refusedText, 0);
    restartMeasurementMode();
    return step.refusedResult;
}

// The block as hex text followed by its checksum, low byte first.
std::string blockText(const std::vector<uint8_t>& block, uint16_t checksum) {
    std::string text;
    appendHex(text, block.data(), block.size());
    const uint8_t check[] = {static_cast<uint8_t>(checksum & 0xFF),
                             static_cast<uint8_t>(checksum >> 8)};
    appendHex(text, check, sizeof check);
    return text;
}

// Up to two attempts; 0, -21 (no answer) or -22 (refused twice).
int sendBlock(int32_t block, const std::string& text, uint16_t checksum) {
    Channel& ch = channel();
    const std::string command = "PRC310," + std::to_string(block) + "," + text + "\r\n";
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string answer;
        if (ch.query(command, answer, kBlockAnswer) != 0) {
            ch.reportMessage("Port Timeout!", 0);
            return -21;
        }
        if (!answer.starts_with("?") && answerLow16(answer) == checksum) return 0;
    }
    ch.reportMessage("Checksum Error Transfer Block " + std::to_string(block) +
                         " to RAM memory! \nRestart Ventrix and try again!",
                     0);
    return -22;
}

// Reads, sends and checks every block; adds the bytes to `imageSum`.
int transferBlocks(std::ifstream& image, const Kx33Blocks& b, uint64_t& imageSum) {
    Channel& ch = channel();
    std::vector<uint8_t> block(static_cast<size_t>(b.blockSize));
    const int64_t end = int64_t{b.firstBlock} + b.blockCount;
    for (int64_t n = b.firstBlock; n < end; ++n) {
        image.read(reinterpret_cast<char*>(block.data()), b.blockSize);
        if (image.gcount() != b.blockSize) {
            ch.reportMessage("Can't read data out of firmware file!", 0);
            restartMeasurementMode();
            return -20;
        }
        uint64_t sum = 0;
        for (const uint8_t byte : block) sum += byte;
        imageSum += sum;
        const uint16_t checksum = onesComplement16(sum);
        if (const int sent = sendBlock(static_cast<int32_t>(n), blockText(block, checksum), checksum);
            sent != 0) {
            if (sent == -22) restartMeasurementMode();
            return sent;
        }
        ch.reportProgress(progressBefore(end - n, b.blockCount));
    }
    return 0;
}

int closeTransfer(uint16_t imageChecksum) {
    Channel& ch = channel();
    if (const int closed = runStep({"PRC304", -30,
                                    "Can't close transfer! Please restart Ventrix and try again!",
                                    -31});
        closed != 0)
        return closed;
    std::string answer;
    if (ch.query("PRC?304\r\n", answer, kKx33ShortAnswer) != 0) {
        ch.reportMessage("Port Timeout!", 0);
        return -32;
    }
    if (answerLow16(answer) != imageChecksum) {
        ch.reportMessage("Checksum error in RAM memory!", 0);
        restartMeasurementMode();
        return -33;
    }
    return 0;
}

// Reads one line per flash sector; the time-out stays doubled when a line is missing.
int followFlashing(const Kx33Blocks& b, int32_t timeoutMs) {
    Channel& ch = channel();
    const int64_t end = int64_t{b.firstBlock} + b.blockCount;
    const int64_t blocksPerSector = kKx33SectorBytes / b.blockSize;
    for (int64_t n = b.firstBlock; n < end;) {
        std::string answer;
        if (ch.readAnswer(answer, kKx33ShortAnswer) != 0) {
            ch.reportMessage("Port timeout flashing!", 0);
            return -40;
        }
        if (answerLow16(answer) != static_cast<uint16_t>(n & 0xFFFF)) {
            ch.reportMessage("Error flashing! Didn't get block number information!", 0);
            ch.waitMs(500);
            flushQueues();
            restartMeasurementMode();
            QTX_SetTimeout(timeoutMs);
            return -41;
        }
        n += blocksPerSector;
        ch.reportProgress(progressBefore(end - n, b.blockCount));
    }
    return 0;
}

int burnAndVerify(const Kx33Blocks& b, uint16_t imageChecksum, int32_t timeoutMs) {
    Channel& ch = channel();
    ch.sendCommand("PRC305\r\n");
    QTX_SetTimeout(2 * timeoutMs);
    ch.reportStatus("Flashing KX33 firmware...", 5);
    ch.reportProgress(0);
    if (const int flashed = followFlashing(b, timeoutMs); flashed != 0) return flashed;
    ch.waitMs(4800);
    flushQueues();
    ch.waitMs(500);
    std::string answer;
    if (ch.query("PRC?308\r\n", answer, kKx33ShortAnswer) != 0) {
        ch.reportMessage("Port timeout reading checksum!", 0);
        QTX_SetTimeout(timeoutMs);
        return -42;
    }
    if (answerLow16(answer) != imageChecksum) {
        ch.reportMessage("Checksum error in FLASH memory!", 0);
        restartMeasurementMode();
        QTX_SetTimeout(timeoutMs);
        return -43;
    }
    QTX_SetTimeout(timeoutMs);
    return 0;
}

int setBlockParameters(const Kx33Blocks& b, int32_t emptyFlashValue) {
    const Step steps[] = {
        {"PRC301," + std::to_string(b.firstBlock), -6, "Can't set first block information!", -7},
        {"PRC302," + std::to_string(b.blockCount), -8, "Can't set first block information!", -9},
        {"PRC303," + std::to_string(emptyFlashValue), -10,
         "Can't set empty flash value information!", -11},
    };
    for (const Step& step : steps)
        if (const int result = runStep(step); result != 0) return result;
    return 0;
}

}  // namespace

int restartMeasurementMode() {
    Channel& ch = channel();
    std::string answer;
    if (ch.query("PRC300,0\r\n", answer, kKx33ShortAnswer) != 0) {
        ch.reportMessage("Port Timeout!", 0);
        return -50;
    }
    if (answer.starts_with("0")) return 0;
    ch.reportMessage("Can't start measurement mode!", 0);
    return -51;
}

int updateKx33(const std::string& imagePath, const Kx33Blocks& b, int32_t emptyFlashValue) {
    Channel& ch = channel();
    const int32_t timeoutMs = QTX_GetCurrTimeout();
    if (!kx33ArgumentsUsable(b, "Download not supported by this version of Quorlink!")) return -2;
    std::error_code error;
    if (!std::filesystem::exists(imagePath, error)) {
        ch.reportMessage("KX33 Firmware file not found!", 0);
        return -3;
    }
    flushQueues();
    std::string answer;
    if (ch.query("PRC300,1\r\n", answer, kKx33ShortAnswer) != 0) {
        ch.reportMessage("Port Timeout!", 0);
        return -4;
    }
    if (!answer.starts_with("0")) {
        ch.reportMessage("Can't enable KX33 Bootloader!", 0);
        return -5;
    }
    if (const int set = setBlockParameters(b, emptyFlashValue); set != 0) return set;

    std::ifstream image(imagePath, std::ios::binary);
    if (!image) {
        ch.reportMessage("Error opening file on local machine!", 0);
        restartMeasurementMode();
        return -12;
    }
    ch.reportProgress(0);
    ch.reportStatus("Transfer KX33 firmware...", 5);
    image.seekg(static_cast<std::streamoff>(int64_t{b.firstBlock} * b.blockSize));
    uint64_t imageSum = 0;
    if (const int sent = transferBlocks(image, b, imageSum); sent != 0) return sent;
    image.close();

    const uint16_t imageChecksum = onesComplement16(imageSum);
    if (const int closed = closeTransfer(imageChecksum); closed != 0) return closed;
    if (const int burnt = burnAndVerify(b, imageChecksum, timeoutMs); burnt != 0) return burnt;
    return restartMeasurementMode();
}

}  // namespace quorlink::processor
