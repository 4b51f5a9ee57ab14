#include "link/channel/channel.h"

#include <cstdio>

#include "linkpad/linkpad.h"

namespace quorlink {

Channel& channel() {
    static Channel instance;
    return instance;
}

uint32_t Channel::tickMs() const { return QTX_GetTickCount(); }

int Channel::sendCommand(std::string_view command) {
    waitMs(5);
    const std::string text(command);
    if (state_.trafficLog == 1 && text.size() > kLoggedInFull) {
        char head[64];
        std::snprintf(head, sizeof head, "Sent %d bytes: ", static_cast<int>(text.size()));
        const std::string line = head + text.substr(0, 20) + " ...\r\n\n";
        QTX_WriteLog(line.c_str(), 0);
        QTX_PauseComLog(0);
        const int result = QTX_WritePort(text.c_str());
        QTX_PauseComLog(1);
        return result;
    }
    int sum = 0;
    size_t position = 0;
    while (text.size() - position > kChunkSize) {
        sum += QTX_WritePort(text.substr(position, kChunkSize).c_str());
        position += kChunkSize;
    }
    if (position < text.size()) sum += QTX_WritePort(text.c_str() + position);
    return sum;
}

int Channel::readAnswer(std::string& answer, int maximum) {
    std::string buffer(static_cast<size_t>(maximum > 0 ? maximum : 1) + 1, '\0');
    int32_t count = 0;
    int32_t status = 0;
    const int terminator = maximum == 2 ? 0 : 10;
    const int result = QTX_ReadPort(buffer.data(), maximum, &count, &status, terminator);
    answer.assign(buffer.data(), static_cast<size_t>(count > 0 ? count : 0));
    return result;
}

int Channel::query(std::string_view command, std::string& answer, int maximum) {
    sendCommand(command);
    return readAnswer(answer, maximum);
}

void Channel::waitMs(int ms) { QTX_WaitMs(ms); }

void Channel::setMessageBuffer(std::string_view text) {
    message_.assign(text.substr(0, kMessageBufferSize - 1));
}

void Channel::reportMessage(std::string_view text, int kind) {
    setMessageBuffer(text);
    if (state_.message) state_.message(kind);
}

void Channel::reportProgress(int percent) {
    if (state_.progress) state_.progress(percent);
}

void Channel::reportStatus(std::string_view text, int code) {
    setMessageBuffer(text);
    if (state_.status) state_.status(code);
}

void appendLineEnd(std::string& text, size_t position) {
    text.resize(position);
    text += "\r\n";
}

}  // namespace quorlink
