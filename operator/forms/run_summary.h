#pragma once
// What the operator reads after an operation: for a failure the cause in plain words, the state
// the device is left in and the next step; for runs over several amplifier slots one row per
// slot (module, version before, target version, the last phase reached, the result). Built from
// the operation's run report and the inventory before and after it.
#include <QString>
#include <vector>

#include "operator/drivers/run_report.h"
#include "operator/shell/device_inventory.h"

namespace quorvel::forms {

struct SlotRun {
    int slot = 0;  // 0-15
    QString module;
    QString before;  // the version before the run
    QString target;  // the version of the file written, when one was chosen
    QString after;   // the version the last scan reported, empty without a rescan
    QString phase;   // the last phase that concerned the slot
    QString result;  // "done", "failed", "planned", ...
};

struct RunSummary {
    QString operation;
    bool failed = false;
    QString cause;
    QString deviceState;
    QString nextStep;
    // The NodePod the run failed on: "ID 4, serial number 1004"; empty for other runs.
    QString failingNode;
    std::vector<SlotRun> slotRuns;

    // The summary as copyable text, one block per part and one line per slot.
    QString text() const;
};

// `result` is the operation's result (0 done; the refusals without anything sent are no failure).
RunSummary SummariseRun(const RunReport& report, int result, const DeviceInventory& before,
                        const DeviceInventory& after, const QString& chosenVersion);

}  // namespace quorvel::forms
