#pragma once
// Flash upload (application or IEC software) of one amplifier into a file, and the EEPROM upload
// of the connection boards of the selected amplifiers.
#include <QString>
#include <optional>
#include <vector>

#include "operator/drivers/device_selection.h"
#include "operator/drivers/driver_context.h"

namespace quorvel {

struct FlashUploadRequest {
    std::vector<int> amplifierSlots;  // exactly one
    bool iec = false;                 // the IEC software only (the internal flash is skipped)
    // The target file; nullopt: the operator is asked with the save dialog.
    std::optional<QString> target;
    bool quietOutcome = false;  // no outcome message (a backup before a download)
};

int UploadAmplifierFlash(DriverContext& context, const FlashUploadRequest& request);

// The file name offered for a flash upload of `slot`.
QString ProposedUploadName(const SlotRecord& record, bool iec);

// Upload of the EEPROM data: per slot the files <prefix>_<slot>_JB1.eep and _JB2.eep.
// `prefix` nullopt: the operator is asked with the save dialog.
int UploadAmplifierEeprom(DriverContext& context, const std::vector<int>& amplifierSlots,
                          std::optional<QString> prefix);

}  // namespace quorvel
