#pragma once
// The firmware list for the processor, the panel and the NodePods: shown to the operator, or
// answered in advance by name (the command line's explicit choice).
#include <QString>
#include <QStringList>
#include <optional>

#include "operator/drivers/driver_context.h"
#include "operator/drivers/firmware_catalogue.h"

namespace quorvel {

// Shows the firmware list for `target` and stores the choice as `SelectedFirmwareFile` and
// `SelectedFirmwareVersion` (both empty when nothing was chosen). With `preset`, the entry of
// that name (case ignored) is chosen without asking; a name the list does not offer chooses
// nothing. Returns the chosen name.
std::optional<QString> PickFirmware(DriverContext& context, const FirmwareTarget& target,
                                    const std::optional<QString>& preset = std::nullopt);

// The names the list for `target` offers, in list order.
QStringList OfferedFirmware(ProgramState& state, const FirmwareTarget& target);

}  // namespace quorvel
