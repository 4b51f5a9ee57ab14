#include "link/channel/connection.h"

#include "link/channel/channel.h"
#include "linkpad/linkpad.h"

namespace quorlink {

namespace {

constexpr int kInterpreterWakeMs = 1500;
constexpr int kSrb1TimeoutMs = 11000;
constexpr int kDclPauseMs = 500;

bool isParallel(int32_t kind) { return kind == QTX_PORT_LPT1 || kind == QTX_PORT_LPT2; }
bool isReopenedPort(int32_t kind) { return kind == QTX_PORT_TCP || kind == QTX_PORT_USB; }

// "DCL", pause, interface reset, pause, close: the rack leaves remote operation cleanly.
void releasePort() {
    Channel& ch = channel();
    ch.sendCommand("DCL\r\n");
    ch.waitMs(kDclPauseMs);
    QTX_ResetInterface();
    ch.waitMs(kDclPauseMs);
    QTX_ClosePort();
}

// "SRB1" under the long time-out; true when any answer arrived.
bool srb1Answered() {
    Channel& ch = channel();
    QTX_SetTimeout(kSrb1TimeoutMs);
    std::string answer;
    return ch.query("SRB1\r\n", answer, 30) == 0;
}

int failOpen(const char* text, int32_t timeoutMs, QuorlinkCallback message, int result) {
    Channel& ch = channel();
    ch.setMessageCallback(message);
    ch.reportMessage(text, 0);
    QTX_SetTimeout(timeoutMs);
    closeConnection();
    return result;
}

int reopenAttempt(bool last) {
    Channel& ch = channel();
    const ConnectionState& st = ch.state();
    int result = 0;
    if (isReopenedPort(st.portKind)) {
        releasePort();
        result = QTX_OpenPort(st.portKind, st.portParameter,
                              st.portAddress.empty() ? nullptr : st.portAddress.c_str(), 0, 0, 4096);
    }
    result += QTX_FlushInQueue();
    result += QTX_FlushOutQueue();
    result += QTX_ActivateInterpreter(kInterpreterWakeMs);
    if (result == 0) {
        const int32_t remembered = QTX_GetCurrTimeout();
        if (!srb1Answered()) {
            result = -1;
            if (last) ch.reportMessage("Port Timeout!", 0);
        }
        QTX_SetTimeout(remembered);
    }
    return result;
}

}  // namespace

int openConnection(const OpenRequest& r) {
    Channel& ch = channel();
    QTX_OpenInterfaceLib();
    QTX_SetTimeout(3600);
    if (r.trafficLog == 1) QTX_EnableComLog();
    if (isParallel(r.portKind)) {
        if (QTX_EnableNTPortIO(QTX_PORT_LPT1) != 0 || QTX_EnableNTPortIO(QTX_PORT_LPT2) != 0)
            return -3;
    } else if (r.portKind == QTX_PORT_GPIB) {
        QTX_InitGPIBCtrlBlock();
    }
    const int opened = QTX_OpenPort(r.portKind, r.portParameter, r.portAddress, r.portValue,
                                    r.portOption, 4096);
    if (opened < 0) {
        ch.setMessageCallback(r.message);
        ch.reportMessage("Can't open selected port!", 0);
        QTX_ClosePort();
        return opened;
    }
    QTX_SelectPort(r.portKind);
    ConnectionState& st = ch.state();
    st.portKind = r.portKind;
    st.trafficLog = r.trafficLog;
    st.deviceAddress = r.deviceAddress;
    st.portOption = r.portOption;
    st.portParameter = r.portParameter;
    st.portAddress = r.portAddress ? r.portAddress : "";
    if (r.deviceAddress >= 0) {
        const int selected = QTX_SelectDevice(r.deviceAddress);
        if (selected < 0) {
            ch.setMessageCallback(r.message);
            ch.reportMessage("Can't open selected port!", 0);
            closeConnection();
            return selected;
        }
    }
    QTX_FlushInQueue();
    QTX_FlushOutQueue();
    if (QTX_ActivateInterpreter(kInterpreterWakeMs) < 0)
        return failOpen("Can't open Ventrix interpreter!", r.timeoutMs, r.message, -2);
    if (!srb1Answered()) return failOpen("Port Timeout!", r.timeoutMs, r.message, -1);
    QTX_SetTimeout(r.timeoutMs);
    return 0;
}

int closeConnection() {
    releasePort();
    const int result = QTX_DisableComLog();
    if (isParallel(channel().state().portKind)) {
        QTX_DisableNTPortIO(QTX_PORT_LPT1);
        QTX_DisableNTPortIO(QTX_PORT_LPT2);
    }
    return result;
}

int reopenInterpreter() {
    const int first = reopenAttempt(false);
    if (first == 0) return 0;
    channel().waitMs(kSrb1TimeoutMs);
    return reopenAttempt(true);
}

}  // namespace quorlink
