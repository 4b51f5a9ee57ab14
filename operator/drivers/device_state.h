#pragma once
// At a glance, what each scanned device needs: up to date, newer firmware in the download
// directory, or the operator's attention (a module left in a loader, a type the hardware tables
// do not know, a failed last run). The window's marks, its summary line and the command line's
// scan all read this one decision.
#include <QString>
#include <array>
#include <set>

#include "operator/shell/program_state.h"

namespace quorvel {

enum class DeviceState { Empty, Current, Outdated, Attention };

// "empty", "current", "outdated", "attention"
const char* DeviceStateName(DeviceState state);

struct DeviceStatus {
    DeviceState state = DeviceState::Empty;
    QString newerFirmware;  // the version a download would offer when newer, else empty
    QString reason;         // why the device is in its state, one sentence
};

struct RackStatus {
    DeviceStatus processor;
    DeviceStatus panel;
    std::array<DeviceStatus, DeviceInventory::kSlots> amplifierSlots;

    // "3 of 9 devices can be updated, 1 needs attention"; empty before a scan.
    QString summary() const;
};

// The state of every device of the inventory; `failedSlots` (0-15) are the slots the last run
// left failed. Reads the download directory, changes nothing in `state`.
RackStatus DecideRackStatus(const ProgramState& state, const std::set<int>& failedSlots = {});

}  // namespace quorvel
