// C exports of the NodePod loader: store the callbacks, set the time-out, run the step, and copy
// texts into the caller's buffers.
#include <algorithm>
#include <cstring>
#include <string>

#include "link/channel/channel.h"
#include "link/nodepod/application_download.h"
#include "link/nodepod/loader2_download.h"
#include "link/nodepod/node_command.h"
#include "link/nodepod/node_scan.h"
#include "link/nodepod/node_switching.h"
#include "link/nodepod/ra56_mode.h"
#include "link/quorlink.h"
#include "linkpad/linkpad.h"

using quorlink::Channel;
using quorlink::channel;
namespace nodepod = quorlink::nodepod;

namespace {

// The scan's texts are at most one answer long; the caller's buffers hold that much.
void copyText(const std::string& text, char* buffer, int32_t* length) {
    const size_t count = std::min<size_t>(text.size(), nodepod::kLongAnswer - 1);
    if (buffer) {
        std::memcpy(buffer, text.data(), count);
        buffer[count] = '\0';
    }
    if (length) *length = static_cast<int32_t>(count);
}

void put(int32_t* out, int32_t value) {
    if (out) *out = value;
}

Channel& prepare(int32_t timeoutMs, QuorlinkCallback message) {
    Channel& ch = channel();
    ch.setMessageCallback(message);
    QTX_SetTimeout(timeoutMs);
    return ch;
}

Channel& prepare(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress) {
    channel().setProgressCallback(progress);
    return prepare(timeoutMs, message);
}

}  // namespace

extern "C" {

int32_t NodePod_NodeIDScan(int32_t timeoutMs, QuorlinkCallback message, int32_t nodeId,
                           int32_t* programState, int32_t* typeNumber, int32_t* serialNumber,
                           char* name, int32_t* nameLength, char* firmwareVersion,
                           int32_t* firmwareVersionLength, char* loader1Version,
                           int32_t* loader1VersionLength, char* hardwareRevision,
                           int32_t* hardwareRevisionLength) {
    Channel& ch = prepare(timeoutMs, message);
    nodepod::NodeIdentity identity;
    const int result = nodepod::scanNode(ch, nodeId, identity);
    put(programState, identity.state);
    put(typeNumber, identity.typeNumber);
    put(serialNumber, identity.serialNumber);
    copyText(identity.name, name, nameLength);
    copyText(identity.firmwareVersion, firmwareVersion, firmwareVersionLength);
    copyText(identity.loader1Version, loader1Version, loader1VersionLength);
    copyText(identity.hardwareRevision, hardwareRevision, hardwareRevisionLength);
    return result;
}

int32_t NodePod_Switch2Loader1(int32_t timeoutMs, QuorlinkCallback message, int32_t nodeId,
                               int32_t inLoader, int32_t /*ignored*/, int32_t loader2Address,
                               int32_t resetMode) {
    Channel& ch = prepare(timeoutMs, message);
    return nodepod::switchToLoader1(ch, nodeId, inLoader != 0, loader2Address, resetMode);
}

int32_t NodePod_DownLoader2(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress,
                            const char* loader2File, int32_t nodeId, int32_t /*ignored*/) {
    Channel& ch = prepare(timeoutMs, message, progress);
    return nodepod::downLoader2(ch, loader2File, nodeId);
}

int32_t NodePod_Switch2Loader2(int32_t timeoutMs, QuorlinkCallback message, int32_t nodeId,
                               int32_t /*ignored*/, int32_t loader2Address) {
    Channel& ch = prepare(timeoutMs, message);
    return nodepod::switchToLoader2(ch, nodeId, loader2Address);
}

int32_t NodePod_DownApplication(int32_t timeoutMs, QuorlinkCallback message,
                                QuorlinkCallback progress, int32_t imageKind,
                                const char* firmwareFile, int32_t nodeId, int32_t /*ignored*/,
                                int32_t hardwareCode) {
    Channel& ch = prepare(timeoutMs, message, progress);
    return nodepod::downApplication(ch, {imageKind, firmwareFile, nodeId, hardwareCode});
}

int32_t NodePod_Switch(int32_t timeoutMs, QuorlinkCallback message, int32_t nodeId,
                       int32_t /*ignored*/, int32_t applicationAddress) {
    Channel& ch = prepare(timeoutMs, message);
    return nodepod::startApplication(ch, nodeId, applicationAddress);
}

int32_t NodePod_Estab(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress,
                      int32_t nodeId, int32_t /*ignored*/, int32_t hardwareCode,
                      const char* firmwareFile) {
    Channel& ch = prepare(timeoutMs, message, progress);
    constexpr int32_t kRestartVector = 2;
    return nodepod::downApplication(ch, {kRestartVector, firmwareFile, nodeId, hardwareCode});
}

int32_t NodePod_SetRA56Mode(int32_t /*ignored*/, QuorlinkCallback message,
                            QuorlinkCallback progress, QuorlinkCallback status,
                            int32_t channelNumber, int32_t mode) {
    Channel& ch = channel();
    ch.setMessageCallback(message);
    ch.setProgressCallback(progress);
    ch.setStatusCallback(status);
    return nodepod::setRa56Mode(ch, channelNumber, mode);
}

}  // extern "C"
