// Rack-level commands: interface baud rate, system reset, multi-master mode, processor version.
#include <cstdio>
#include <cstring>

#include "link/channel/channel.h"
#include "link/channel/connection.h"
#include "link/quorlink.h"
#include "linkpad/linkpad.h"

using quorlink::channel;

namespace {

int parityCode(const char* parity) {
    if (parity && parity[0] == 'n') return 0;
    if (parity && parity[0] == 'o') return 1;
    return 2;
}

std::string format(const char* pattern, int a, int b = 0, int c = 0) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

// Asks "BDR?"; false (and the baud-rate time-out text) when the rack does not answer.
bool readBaudSetting(std::string& answer) {
    if (channel().query("BDR?\r\n", answer, 30) == 0) return true;
    channel().reportMessage("Port Timeout! Baudrate not changed!", 0);
    return false;
}

int changeBaudOnly(int32_t baudRate) {
    std::string answer;
    if (!readBaudSetting(answer)) return -1;
    std::string command = format("BDR%i", baudRate);
    const auto comma = answer.find(',');
    if (comma != std::string::npos) command += answer.substr(comma);
    channel().sendCommand(command + "\r\n");
    return 0;
}

int resetToOldLoaderSetting(int32_t baudRate) {
    std::string answer;
    if (channel().query(format("BDR%i,,,4\r\n", baudRate), answer, 30) != 0) {
        channel().reportMessage("Port Timeout!", 0);
        return -1;
    }
    channel().reportMessage(answer.starts_with("0")
                                ? "Internal Baudrate have been succesfully reset to be compatible!"
                                : "Internal Baudrate should be compatible to old loader before!",
                            0);
    return 0;
}

int setFullBaudSetting(int32_t baudRate, const char* parity, int32_t stopBits) {
    std::string answer;
    if (!readBaudSetting(answer)) return -1;
    channel().sendCommand(format("BDR%i,%i,%i,0", baudRate, parityCode(parity), stopBits) + "\r\n");
    return 0;
}

}  // namespace

extern "C" {

int32_t SetBdrVTX(int32_t baudRate, int32_t timeoutMs, QuorlinkCallback message, int32_t mode,
                  const char* parity, int32_t stopBits) {
    channel().setMessageCallback(message);
    QTX_SetTimeout(timeoutMs);
    switch (mode) {
        case 0:
            return changeBaudOnly(baudRate);
        case 1:
            return resetToOldLoaderSetting(baudRate);
        case 2:
            return setFullBaudSetting(baudRate, parity, stopBits);
        default:
            return 0;
    }
}

int32_t ResetVTX(QuorlinkCallback message, QuorlinkCallback progress, int32_t resetSeconds) {
    auto& ch = channel();
    ch.setMessageCallback(message);
    ch.setProgressCallback(progress);
    ch.sendCommand("RST\r\n");
    const int steps = 5 * resetSeconds;
    for (int i = 1; i <= steps; ++i) {
        ch.waitMs(200);
        ch.reportProgress(static_cast<int>(i * 100.0 / steps));
    }
    QTX_FlushInQueue();
    const char wake[] = {0x12, '\r', '\n'};
    QTX_WritePortCount(wake, sizeof wake);
    if (quorlink::reopenInterpreter() != 0) {
        ch.reportMessage(
            "Error reset system, maybe timeout. \nPlease reset your VTX system by switching power "
            "off and on.",
            0);
        return -1;
    }
    return 0;
}

int32_t MultiMasterMode(QuorlinkCallback message, QuorlinkCallback progress, int32_t /*ignored*/) {
    auto& ch = channel();
    ch.setMessageCallback(message);
    ch.setProgressCallback(progress);
    ch.reportProgress(33);
    ch.sendCommand("PRC10\r\n");
    ch.reportProgress(66);
    std::string answer;
    if (ch.readAnswer(answer, 30) != 0) {
        ch.reportMessage("Port Timeout!", 0);
        return -1;
    }
    if (answer.starts_with("0")) {
        ch.reportProgress(100);
        return 0;
    }
    ch.reportMessage("Error switching multi master mode on!", 0);
    return -2;
}

int32_t CheckVersion(char* buffer, int32_t* length) {
    std::string answer;
    const int result = channel().query("PRC?11\r\n", answer, 30);
    if (result != 0) answer.clear();
    if (buffer) std::memcpy(buffer, answer.c_str(), answer.size() + 1);
    if (length) *length = static_cast<int32_t>(answer.size());
    return result != 0 ? -1 : 0;
}

}  // extern "C"
