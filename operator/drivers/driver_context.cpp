#include "operator/drivers/driver_context.h"

namespace quorvel {

int DeviceChoice::channelMask() const {
    int mask = 0;
    for (const int slot : amplifierSlots) mask |= 1 << slot;
    return mask;
}

DriverContext::DriverContext(OperatorShell& shell) : shell_(shell), gateway_(shell) {
    chooseFirmware = [this](const FirmwareTarget& target, bool quiet) {
        return ChooseFromFirmwareList(state(), ui(), target, quiet);
    };
    shell_.messages().setObserver([this](const QString& prompt, int buttons) {
        report_.addMessage(MessageKindOf(buttons, false), prompt);
    });
}

DriverContext::~DriverContext() { shell_.messages().setObserver({}); }

RunReport& DriverContext::startReport(const QString& operation) {
    report_ = RunReport(operation);
    report_.setDryRun(dryRun);
    return report_;
}

}  // namespace quorvel
