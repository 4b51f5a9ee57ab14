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

// What the processor, the panel or a NodePod was identified running after its run.
struct DeviceFinding {
    QString device;                // "processor", "panel", "NodePod 4"
    QString running;               // "P2.50", "its boot loader", "not detected"
    bool runsApplication = false;  // it answered from its application
};

// The verify step of a processor, panel or NodePod run, once the device was identified again
// on the open connection: the finding goes into the run report (phase "identify"), and the
// device is at its target when it runs the application at `version` (any application when
// empty). One that is not fails the phase and is shown with the table's state and next step.
bool VerifyDevice(DriverContext& context, const DeviceFinding& finding, const QString& version);

}  // namespace quorvel
