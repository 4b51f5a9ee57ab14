#pragma once
// Assigning an amplifier type by hand to modules that cannot report theirs ("Select RA type").
#include <QString>
#include <QStringList>
#include <vector>

#include "operator/shell/program_state.h"

namespace quorvel {

inline constexpr const char* kAmplifierTypeCaption = "Select RA type";
inline constexpr const char* kAmplifierTypeColumn = "RAxx";

// The type names offered: every row of the amplifier table after its first.
QStringList AmplifierTypeChoices(const ConfigTables& tables);

// Gives each slot of `slotIndexes` the type `typeName`: marked as assigned by hand, controller
// kind 1, prefixes, codes and start address from the table row of that name, and "-F72" appended
// in a normal start for an F72 module. False (nothing changed) for a name the table does not list.
bool AssignAmplifierType(ProgramState& state, const std::vector<int>& slotIndexes,
                         const QString& typeName);

}  // namespace quorvel
