// The QTX_* C API over the port library's single state.
#include <algorithm>
#include <cstring>

#include "linkpad/linkpad.h"
#include "port_library.h"

using linkpad::PortLibrary;
using linkpad::ReceiveStatus;

namespace {

PortLibrary& lib() { return PortLibrary::instance(); }

constexpr char kDC2 = 0x12;

int32_t deliver(const std::string& text, char* buffer, int32_t* count) {
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    if (count) *count = static_cast<int32_t>(text.size());
    return 0;
}

// A delivered line loses its line end (LF and a CR before it).
std::string withoutLineEnd(std::string text) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

}  // namespace

extern "C" {

int32_t QTX_OpenInterfaceLib(void) { return 0; }

// Direct port I/O exists only for the parallel ports, which have no transport here.
int32_t QTX_EnableNTPortIO(int32_t portKind) {
    if (portKind != QTX_PORT_LPT1 && portKind != QTX_PORT_LPT2) return QTX_ERR_ARGUMENT;
    return 0;
}

int32_t QTX_DisableNTPortIO(int32_t portKind) {
    if (portKind != QTX_PORT_LPT1 && portKind != QTX_PORT_LPT2) return QTX_ERR_ARGUMENT;
    return 0;
}

int32_t QTX_InitGPIBCtrlBlock(void) { return 0; }

int32_t QTX_OpenPort(int32_t portKind, int32_t portParameter, const char* portAddress,
                     int32_t portValue, int32_t portOption, int32_t /*bufferSize*/) {
    linkpad::PortRequest request;
    request.kind = portKind;
    request.parameter = portParameter;
    request.hasAddress = portAddress != nullptr;
    request.address = portAddress ? portAddress : "";
    request.value = portValue;
    request.option = portOption;
    return lib().open(request);
}

int32_t QTX_GetLastError(char* text, int32_t maximum) {
    const std::string& error = lib().lastError();
    if (text && maximum > 0) {
        const size_t copied = std::min(error.size(), static_cast<size_t>(maximum - 1));
        std::memcpy(text, error.data(), copied);
        text[copied] = '\0';
    }
    return static_cast<int32_t>(error.size());
}

int32_t QTX_SelectPort(int32_t /*portKind*/) { return lib().isOpen() ? 0 : QTX_ERR_NOT_OPEN; }

// Device addresses select one station on an RS485 or GPIB bus; a point-to-point link has one.
int32_t QTX_SelectDevice(int32_t deviceAddress) {
    if (!lib().isOpen()) return QTX_ERR_NOT_OPEN;
    return deviceAddress >= 0 && deviceAddress <= 31 ? 0 : QTX_ERR_ARGUMENT;
}

int32_t QTX_ClosePort(void) { return lib().close(); }

int32_t QTX_ResetInterface(void) {
    if (!lib().isOpen()) return QTX_ERR_NOT_OPEN;
    lib().discardInput();
    return 0;
}

// Wakes the rack's interpreter: DC2 followed by "IDN?" CR LF; any answer line within the wait
// means the interpreter listens. The answer is discarded.
int32_t QTX_ActivateInterpreter(int32_t waitMs) {
    if (!lib().isOpen()) return QTX_ERR_NOT_OPEN;
    lib().discardInput();
    if (lib().write(std::string{kDC2} + "IDN?\r\n") < 0) return QTX_ERR_IO;
    std::string answer;
    const auto status = lib().read(answer, 256, '\n', waitMs);
    lib().discardInput();
    if (status == ReceiveStatus::Data) return 0;
    lib().log().note("interpreter did not answer DC2 IDN? within " + std::to_string(waitMs) + " ms");
    return QTX_ERR_NO_ANSWER;
}

int32_t QTX_SetTimeout(int32_t ms) {
    lib().setTimeoutMs(ms < 0 ? 0 : ms);
    return 0;
}

int32_t QTX_GetCurrTimeout(void) { return lib().timeoutMs(); }

int32_t QTX_FlushInQueue(void) {
    if (!lib().isOpen()) return QTX_ERR_NOT_OPEN;
    lib().discardInput();
    return 0;
}

// Writes are complete when the transport returns, so there is never pending output.
int32_t QTX_FlushOutQueue(void) { return lib().isOpen() ? 0 : QTX_ERR_NOT_OPEN; }

int32_t QTX_WritePort(const char* text) {
    if (!text) return QTX_ERR_ARGUMENT;
    return lib().write(text);
}

int32_t QTX_WritePortCount(const void* buffer, int32_t count) {
    if (!buffer || count < 0) return QTX_ERR_ARGUMENT;
    return lib().write(std::string_view(static_cast<const char*>(buffer), static_cast<size_t>(count)));
}

// Terminator 10: one line (at most maximum - 1 bytes), delivered without its line end.
// Terminator 0: exactly `maximum` raw bytes; the buffer must hold maximum + 1 for the zero.
int32_t QTX_ReadPort(char* buffer, int32_t maximum, int32_t* count, int32_t* status,
                     int32_t terminator) {
    if (count) *count = 0;
    if (status) *status = 0;
    if (!buffer || maximum <= 0) return QTX_ERR_ARGUMENT;
    buffer[0] = '\0';
    const bool lineMode = terminator > 0;
    const size_t limit = lineMode ? static_cast<size_t>(maximum) - 1 : static_cast<size_t>(maximum);
    std::string data;
    const auto result = lib().read(data, limit, lineMode ? terminator : -1, lib().timeoutMs());
    if (lineMode) data = withoutLineEnd(std::move(data));
    deliver(data, buffer, count);
    switch (result) {
        case ReceiveStatus::Data:
            return 0;
        case ReceiveStatus::Timeout:
            if (status) *status = QTX_ERR_TIMEOUT;
            return QTX_ERR_TIMEOUT;
        case ReceiveStatus::Closed:
            if (status) *status = QTX_ERR_IO;
            return QTX_ERR_IO;
    }
    return QTX_ERR_IO;
}

// 0 sets the break condition, 1 clears it.
int32_t QTX_ComBreak(int32_t state) { return lib().setBreak(state == 0); }

int32_t QTX_EnableComLog(void) { return lib().log().enable(); }
int32_t QTX_DisableComLog(void) { return lib().log().disable(); }

int32_t QTX_PauseComLog(int32_t resume) {
    lib().log().pause(resume == 0);
    return 0;
}

int32_t QTX_WriteLog(const char* text, int32_t /*flags*/) {
    if (!text) return QTX_ERR_ARGUMENT;
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    lib().log().note(line);
    return 0;
}

}  // extern "C"
