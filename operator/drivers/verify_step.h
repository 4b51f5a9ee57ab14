#pragma once
// The verify step that ends every driver run over amplifier modules: before the connection
// closes, the touched slots are identified again (as a scan of those slots does), so that the
// inventory, the device tree and its "update:" marks show what the rack now runs, loader states
// included; each slot's outcome goes into the run report. A run is a success only when every
// targeted slot runs its target.
#include <QString>
#include <map>
#include <vector>

#include "operator/drivers/driver_context.h"

namespace quorvel {

// The result of a run whose modules are not all at their target after it.
inline constexpr int kNotAtTarget = -254;

// What one slot must run after the run.
struct SlotTarget {
    int slot = 0;     // 0-15
    QString version;  // the application version; empty: any application (the run kept it)
};

// A module that runs a loader: identified from a loader ("…,L1,V1.02,…"), or without the
// hardware revision only an application reports.
bool ModuleRunsLoader(const SlotRecord& record);

// What a slot was identified running: "P2.07", "loader 1 V1.02", "not detected".
QString RunningState(const SlotRecord& record);

// The application at `version` (any application when `version` is empty) runs in the slot.
bool RunsTarget(const SlotRecord& record, const QString& version);

// Identifies `slots` on the open connection, with the loader fallback on; a slot that does not
// answer is asked once more on a fresh connection, and one that still does not shows
// "not detected".
void IdentifyAgain(DriverContext& context, const std::vector<int>& slots);

// Identifies the targets' slots on the open connection, refreshes the device tree and records
// each slot's outcome in the run report (phase "identify"). `failedIn` holds the phase each slot
// failed in during the run. Returns every slot not at its target with the phase it failed in
// ("identify" for one the run thought done).
std::map<int, QString> VerifySlots(DriverContext& context, const std::vector<SlotTarget>& targets,
                                   const std::map<int, QString>& failedIn);

}  // namespace quorvel
