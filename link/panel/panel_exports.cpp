// The panel loader's exports.
#include <cstring>
#include <optional>
#include <string>

#include "link/channel/channel.h"
#include "link/panel/panel_update.h"
#include "link/panel/strapper.h"
#include "link/quorlink.h"
#include "linkpad/linkpad.h"

namespace {

std::optional<std::string> optionalText(const char* text) {
    if (!text) return std::nullopt;
    return std::string(text);
}

// Cuts the caller's text to its first `length` characters.
void cutInPlace(char* text, size_t length) {
    if (text && std::strlen(text) > length) text[length] = '\0';
}

}  // namespace

extern "C" {

int32_t UpdateDV(int32_t timeoutMs, QuorlinkCallback message, QuorlinkCallback progress,
                 QuorlinkCallback status, const char* firmwarePath, const char* version,
                 int32_t downloadApplication, int32_t loaderIUpdate) {
    auto& ch = quorlink::channel();
    ch.setMessageCallback(message);
    ch.setProgressCallback(progress);
    ch.setStatusCallback(status);
    QTX_SetTimeout(timeoutMs);
    quorlink::panel::PanelUpdateRequest request;
    request.firmwarePath = firmwarePath ? firmwarePath : "";
    request.version = version ? version : "";
    request.downloadApplication = downloadApplication != 0;
    request.loaderIUpdate = loaderIUpdate != 0;
    return quorlink::panel::updatePanel(ch, request);
}

int32_t EstabDV(int32_t timeoutMs, QuorlinkCallback message) {
    auto& ch = quorlink::channel();
    ch.setMessageCallback(message);
    QTX_SetTimeout(timeoutMs);
    return quorlink::panel::establishPanel(ch);
}

int32_t BootDV(int32_t port, const char* configPath, const char* programFile,
               const char* loaderIFile, char* serialNumber, char* revision,
               QuorlinkCallback progress, QuorlinkCallback status) {
    auto& ch = quorlink::channel();
    ch.setProgressCallback(progress);
    ch.setStatusCallback(status);
    constexpr size_t kTextLength = 31;
    cutInPlace(serialNumber, kTextLength);
    cutInPlace(revision, kTextLength);
    quorlink::panel::BootRequest request;
    request.port = port;
    request.configPath = configPath ? configPath : "";
    request.programFile = optionalText(programFile);
    request.loaderIFile = optionalText(loaderIFile);
    request.serialNumber = optionalText(serialNumber);
    request.revisionNumber = optionalText(revision);
    return quorlink::panel::bootPanel(ch, request);
}

}  // extern "C"
