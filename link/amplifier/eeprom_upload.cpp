#include "link/amplifier/eeprom_upload.h"

#include "link/amplifier/loader_talk.h"
#include "link/amplifier/output_file.h"

namespace quorlink::amplifier {

namespace {

constexpr int kAnswer = 280;
constexpr int kLines = 32;
constexpr size_t kLineHex = 128;  // 64 bytes; the line end is not part of the answer here
constexpr int kStart[] = {0x3000, 0x4000};

int writeBoard(int loaderChannel, int board, const std::string& serial, const std::string& prefix) {
    Channel& ch = channel();
    OutputFile file(textf("%s_JB%i.eep", prefix.c_str(), board));
    if (!file.isOpen()) {
        ch.reportMessage("Error creating data file! You'll need full access to \\Upload directory!", 0);
        return -4;
    }
    bool written = file.write("QTX JB6xx/JB9xx EEPROM data\r\n") && file.write("V1\r\n") &&
                   file.write("SNR " + serial + "\r\n") && file.write("-- \r\n");
    for (int i = 0; i < kLines && written; ++i) {
        ch.reportProgress(static_cast<int>((loaderChannel + 1) * 6.25));
        const auto answer = ask(textf("PRG?750,%i\r\n", kStart[board - 1] + 64 * i), kAnswer);
        if (!answer) return -1;
        if (answer->size() < kLineHex) {
            ch.reportMessage("Amplifier did not answer correctly!", 0);
            return -6;
        }
        written = file.write(*answer + "\r\n");
    }
    if (written && file.commit()) return 0;
    ch.reportMessage("Error opening data file! You'll need full access to \\Upload directory!", 0);
    return -5;
}

}  // namespace

int uploadEeprom(int loaderChannel, const std::string& prefix) {
    Channel& ch = channel();
    const auto selected = ask(textf("PCS%i\r\n", loaderChannel + 1), kAnswer);
    if (!selected) return -1;
    if (selected->starts_with("?")) {
        ch.reportMessage("Amplifier did not answer!", 0);
        return -2;
    }
    for (int board = 1; board <= 2; ++board) {
        const auto serial = ask(textf("SNR?%i\r\n", board), kAnswer);
        if (!serial) return -1;
        if (serial->starts_with("?")) {
            if (board == 2) return 0;
            ch.reportMessage("Amplifier did not answer!", 0);
            return -3;
        }
        if (const int result = writeBoard(loaderChannel, board, *serial, prefix); result != 0) return result;
    }
    return 0;
}

}  // namespace quorlink::amplifier
