#include "operator/forms/firmware_marks.h"

#include "operator/drivers/download_all.h"
#include "operator/drivers/firmware_catalogue.h"

namespace quorvel::forms {

std::array<QString, DeviceInventory::kSlots> NewerAmplifierFirmware(const ProgramState& state) {
    std::array<QString, DeviceInventory::kSlots> newer;
    if (state.DownloadDirectory.isEmpty()) return newer;
    // Opening a list records its choice in the state; the marks must not change the program's.
    ProgramState scratch = state;
    for (int slot = 0; slot < DeviceInventory::kSlots; ++slot) {
        const SlotRecord& record = state.Inventory.slotRecords[static_cast<size_t>(slot)];
        if (!record.Present || record.Identity.isEmpty() || record.Identity == "not detected")
            continue;
        const FirmwareList list = OpenFirmwareList(scratch, AmplifierTarget(scratch, slot));
        if (list.defaultRow < 0) continue;
        const QString& version = list.entries[static_cast<size_t>(list.defaultRow)].version;
        if (!ModuleUpToDate(record, version))
            newer[static_cast<size_t>(slot)] = version;
    }
    return newer;
}

}  // namespace quorvel::forms
