#include "link/panel/strapper.h"

#include <cstdio>

#include "link/panel/block_protocol.h"
#include "link/panel/c167_bootstrap.h"
#include "link/panel/c_file.h"
#include "link/panel/strapper_config.h"
#include "link/panel/strapper_image.h"
#include "link/panel/strapper_parameters.h"
#include "link/panel/strapper_report.h"
#include "linkpad/linkpad.h"

namespace quorlink::panel {

namespace {

constexpr int kAnswerTimeoutMs = 5000;
constexpr int kPortBufferSize = 4096;
constexpr size_t kIdentityLength = 256;
constexpr size_t kShortestIdentity = 9;

StrapperParameters defaultsFor(const BootRequest& request) {
    StrapperParameters p;
    p.port = request.port;
    p.loadFile = resolveNextTo(request.configPath, p.loadFile);
    p.programFile = resolveNextTo(request.configPath, p.programFile);
    p.imageFile = resolveNextTo(request.configPath, p.imageFile);
    return p;
}

int applyArguments(const BootRequest& request, StrapperParameters& p, StrapperReporter& r) {
    const std::pair<const std::optional<std::string>&, const char*> files[] = {
        {request.loaderIFile, "Loader1FileName"}, {request.programFile, "ProgramFileName"}};
    for (const auto& [file, label] : files) {
        if (!file || file->empty()) continue;
        r.log(std::string("Strapper-Parameter: ") + label + " = " + *file);
        if (p.hexFiles.size() >= StrapperParameters::kMaxHexFiles) return kStrapperTooMany;
        p.hexFiles.push_back(*file);
    }
    if (request.serialNumber) {
        p.serialNumber = request.serialNumber->substr(0, StrapperParameters::kMaxTextLength);
        r.log("Strapper-Parameter: SerialNumber = " + p.serialNumber);
    }
    if (request.revisionNumber) {
        p.revisionNumber = request.revisionNumber->substr(0, StrapperParameters::kMaxTextLength);
        r.log("Strapper-Parameter: RevisionNumber = " + p.revisionNumber);
    }
    return 0;
}

int startTransfer(const StrapperParameters& p, StrapperReporter& r) {
    r.log("Interpreter aktivieren ( ^R IDN?LF ) ...");
    const char wake[] = "\x12IDN?\n";
    if (QTX_WritePortCount(wake, sizeof wake - 1) < 0) return kStrapperPortError;
    std::string answer(kIdentityLength + 1, '\0');
    int32_t count = 0;
    int32_t status = 0;
    const int32_t read =
        QTX_ReadPort(answer.data(), static_cast<int32_t>(kIdentityLength), &count, &status, 10);
    answer.resize(static_cast<size_t>(count > 0 ? count : 0));
    r.log("Answer is " + answer + " !");
    if (read != 0 || answer.size() < kShortestIdentity || !answer.starts_with("QTX,KX43"))
        return kStrapperNoKX43;
    const std::string command = "SYS TRANSF " + std::to_string(p.baudRate) + " " + p.parity;
    r.log("TRANSF in KX43 starten (" + command + ") ...");
    const std::string line = command + "\n";
    return QTX_WritePortCount(line.data(), static_cast<int32_t>(line.size())) < 0
               ? kStrapperPortError
               : 0;
}

int openSerialPort(const StrapperParameters& p, StrapperReporter& r) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Open port Port=%i, Baudrate=%li, Parity=%s, BitsPerChar=%i, StopBits=%i ...",
                  p.port, p.baudRate, p.parity.c_str(), p.bitsPerChar, p.stopBits);
    r.log(text);
    QTX_ClosePort();
    // A serial line cannot run at no speed: the unset settings of a missing configuration.
    if (p.baudRate <= 0) return kStrapperPortError;
    if (QTX_OpenPort(p.port, static_cast<int32_t>(p.baudRate), p.parity.c_str(), p.bitsPerChar,
                     p.stopBits, kPortBufferSize) < 0)
        return kStrapperPortError;
    return QTX_SetTimeout(kAnswerTimeoutMs) < 0 ? kStrapperPortError : 0;
}

int programPanel(const StrapperParameters& p, StrapperReporter& r) {
    r.report("DatFile = " + p.imageFile, 0);
    r.log("program " + p.imageFile + " ...");
    CFile image = openFile(p.imageFile, "rb");
    if (!image) return kStrapperCannotOpen;
    return programImage(image.get(), p, r);
}

int runStrapper(const BootRequest& request, StrapperReporter& r) {
    StrapperParameters p = defaultsFor(request);
    if (int code = readStrapperConfig(request.configPath, p, r)) return code;
    if (int code = applyArguments(request, p, r)) return code;
    if (p.transfer) {
        if (int code = startTransfer(p, r)) return code;
    }
    if (int code = openSerialPort(p, r)) return code;
    if (int code = buildFlashImage(p, r)) return code;
    if (int code = wakeC167(r)) return code;
    if (int code = sendFirstStageLoader(p.loadFile, r)) return code;
    if (int code = sendProgrammingProgram(p.programFile, r)) return code;
    if (int code = programPanel(p, r)) return code;
    r.log("finish!");
    r.report("fertig!", 100);
    return kStrapperDone;
}

// Ends the programming program and pulses a break so the controller restarts.
void closeBootstrap(Channel& channel) {
    const uint8_t closing[] = {0x00, 0x20};
    QTX_WritePortCount(closing, sizeof closing);
    channel.waitMs(200);
    QTX_ComBreak(0);
    channel.waitMs(200);
    QTX_ComBreak(1);
}

}  // namespace

int bootPanel(Channel& channel, const BootRequest& request) {
    int result = 0;
    {
        StrapperReporter reporter(channel);
        result = runStrapper(request, reporter);
        if (result != 0) reporter.error(result);
    }  // the log file is closed here
    closeBootstrap(channel);
    return result;
}

}  // namespace quorlink::panel
