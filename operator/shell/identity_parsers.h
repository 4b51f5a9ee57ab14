#pragma once
// Turn the identification answers of processor, panel and amplifier slots into the inventory's
// records, with the type texts from the configuration tables.
#include <QString>
#include <functional>
#include <optional>

#include "operator/shell/config_tables.h"
#include "operator/shell/device_inventory.h"

namespace quorvel {

// The processor's answer to the version query, nullopt when the query failed.
using VersionQuery = std::function<std::optional<QString>()>;

void ParseProcessorIdentity(ProcessorRecord& record, const QString& identity,
                            const QString& hardwareRevision, const QString& revisions,
                            const std::vector<ProcessorRow>& table, const VersionQuery& checkVersion);

void ParsePanelIdentity(PanelRecord& record, const QString& identity, const QString& startMode);

// Application answer of a slot; ends with DeriveSlotType.
void ParseSlotIdentity(SlotRecord& record, const QString& identity,
                       const QString& hardwareRevision, const ConfigTables& tables);
// Loader answer of a slot; as ParseSlotIdentity, but without a hardware revision.
void ParseLoaderIdentity(SlotRecord& record, const QString& identity, const ConfigTables& tables);

// Code, prefixes, start address (and the AMT number when the module gave none) from the
// amplifier table.
void DeriveSlotType(SlotRecord& record, const std::vector<AmplifierRow>& table);

// In a normal start (empty `startMode`) an F72 module's `TypePrefix` ends with "-F72": appended
// once, and only to a prefix the amplifier table gave.
void AppendF72Marker(SlotRecord& record, const QString& startMode);

// The processor table's type for `model` at `hardwareRevision`; "not supported" without a row.
QString LookUpProcessorType(const std::vector<ProcessorRow>& table, const QString& model,
                            const QString& hardwareRevision);

}  // namespace quorvel
