#include "operator/drivers/amplifier_types.h"

#include "operator/shell/identity_parsers.h"

namespace quorvel {

QStringList AmplifierTypeChoices(const ConfigTables& tables) {
    QStringList names;
    for (size_t row = 1; row < tables.amplifiers.size(); ++row) {
        names << tables.amplifiers[row].typeName;
    }
    return names;
}

bool AssignAmplifierType(ProgramState& state, const std::vector<int>& slotIndexes,
                         const QString& typeName) {
    if (!AmplifierTypeChoices(state.Tables).contains(typeName)) return false;
    for (const int slot : slotIndexes) {
        if (slot < 0 || slot >= DeviceInventory::kSlots) continue;
        SlotRecord& record = state.Inventory.slotRecords[slot];
        record.IdentifiedType = typeName;
        record.AmtNumber = 0;
        record.TypeAssignedByHand = true;
        record.ControllerKind = 1;
        DeriveSlotType(record, state.Tables.amplifiers);
        AppendF72Marker(record, state.StartMode);
    }
    return true;
}

}  // namespace quorvel
