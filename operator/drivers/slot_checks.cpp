#include "operator/drivers/slot_checks.h"

#include "operator/drivers/failure_advice.h"

namespace quorvel {

bool HoldsModule(const SlotRecord& record) {
    return record.Present && !record.Identity.isEmpty() && record.Identity != "not detected";
}

QString SlotsWithTypes(const DeviceInventory& inventory, const std::vector<int>& amplifierSlots) {
    QStringList named;
    for (const int slot : amplifierSlots) {
        const QString& type = inventory.slotRecords[slot].IdentifiedType;
        named << QString::number(slot + 1) + " (" + (type.isEmpty() ? "no module" : type) + ")";
    }
    return (named.size() == 1 ? "slot " : "slots ") + named.join(", ");
}

int RefuseBeforeSending(DriverContext& context, const QString& text, int result) {
    // The refusal's advice belongs to the checks, also where no phase was begun yet.
    if (context.report().phases().empty()) context.report().beginPhase(phase::kCheckSelection);
    context.report().failPhase();
    context.ShowMessage(text + "\r" + kNothingChanged, kIconStop);
    return result;
}

int CheckSlotsHoldModules(DriverContext& context, const QString& operation,
                          const std::vector<int>& amplifierSlots) {
    if (amplifierSlots.empty())
        return RefuseBeforeSending(context, operation + ": no amplifier selected.", kNothingToDo);
    std::vector<int> empty;
    for (const int slot : amplifierSlots)
        if (!HoldsModule(context.state().Inventory.slotRecords[slot])) empty.push_back(slot);
    if (empty.empty()) return 0;
    QStringList numbers;
    for (const int slot : empty) numbers << QString::number(slot + 1);
    return RefuseBeforeSending(context,
                               operation + ": " + (empty.size() == 1 ? "slot " : "slots ") +
                                   numbers.join(", ") +
                                   " holds no module. Scan the rack and choose slots with "
                                   "modules; a module waiting in loader 1 shows only when "
                                   "Options, \"Scan empty slot for Loader1\" is ticked.",
                               kNoDevice);
}

int CheckTypesOffer(DriverContext& context, const QString& operation,
                    const std::vector<int>& amplifierSlots,
                    const std::function<bool(const SlotRecord&)>& offers,
                    const QString& offeredBy) {
    const DeviceInventory& inventory = context.state().Inventory;
    std::vector<int> others;
    for (const int slot : amplifierSlots)
        if (!offers(inventory.slotRecords[slot])) others.push_back(slot);
    if (others.empty()) return 0;
    return RefuseBeforeSending(context,
                               operation + " is not available for " +
                                   SlotsWithTypes(inventory, others) + ": " + offeredBy + ".",
                               kNothingToDo);
}

}  // namespace quorvel
