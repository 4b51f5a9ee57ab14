#include "operator/drivers/serial_line_switch.h"

#include "operator/drivers/connection_guard.h"
#include "operator/shell/text_fields.h"

namespace quorvel {
namespace {

constexpr int kOldLoaderRate = 9600;
constexpr int kSwitchTimeoutMs = 3000;
constexpr int kFullSetting = 2;  // SetBdrVTX mode: rate, parity and stop bits

int configuredRate(const ProgramState& state) {
    return static_cast<int>(LeadingNumber(state.Port.baudrate));
}
int configuredStopBits(const ProgramState& state) {
    return static_cast<int>(LeadingNumber(state.Port.stopBits));
}
QString configuredParity(const ProgramState& state) { return state.Port.parity.left(1).toLower(); }

}  // namespace

SerialLineSwitch::SerialLineSwitch(const ProgramState& state)
    : needed_(configuredRate(state) != kOldLoaderRate || configuredParity(state) != "e" ||
              configuredStopBits(state) != 1) {}

bool SerialLineSwitch::confirmAndSwitch(DriverContext& context) {
    const int answer = context.ShowMessage(
        "Download KX43 firmware is only possible\rwith RS232 at 9.600baud, 8E1!\r\rShould this "
        "program set your VTX to 9600 baud, 8E1 ?",
        kYesNo | kIconQuestion);
    if (answer != kAnswerYes) {
        context.ShowMessage(RefusalText("Download canceled!"), kIconExclamation);
        return false;
    }
    context.WriteProtocol("Set Baudrate to 9600 baud.");
    {
        ConnectionGuard connection(context.gateway());
        context.gateway().SetBdrVTX(kOldLoaderRate, kSwitchTimeoutMs, kFullSetting, "e", 1);
    }
    switched_ = true;
    context.ShowMessage(
        "Baudrate of VTX set to 9600 baud, \r1 stopbit, even parity.\r\rVTX could "
        "stay at this\rsetting in case of download failure!",
        kIconExclamation);
    return true;
}

ConnectionParameters SerialLineSwitch::downloadParameters(const ProgramState& state) const {
    ConnectionParameters parameters = state.Connection;
    if (!switched_) return parameters;
    parameters.portParameter = kOldLoaderRate;
    parameters.portText = "e";
    parameters.stopBits = 1;
    return parameters;
}

void SerialLineSwitch::restore(DriverContext& context) {
    const ProgramState& state = context.state();
    context.gateway().SetBdrVTX(configuredRate(state), LibraryGateway::kTimeoutMs, kFullSetting,
                                configuredParity(state), configuredStopBits(state));
}

}  // namespace quorvel
