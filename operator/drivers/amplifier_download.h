#pragma once
// The amplifier download driver: the selected slots switched to loader 1, loader 2 transferred
// and started, the application (or loader 1, or the IEC software) programmed, the new firmware
// started, verified, established, and the rack reset. Every check that can refuse runs before
// anything is sent.
#include <QString>
#include <vector>

#include "operator/drivers/driver_context.h"

namespace quorvel {

struct AmplifierDownloadRequest {
    enum class Content { Application, Loader1Only, IecSoftware };

    std::vector<int> amplifierSlots;  // 0-15, the selection
    FirmwareChoice firmware;          // the chosen file (full path) and its version
    Content content = Content::Application;
    bool includeLoader1 = false;  // the loader-1 area is written before the application
    bool activateOnly = false;    // the modules' main image is not programmed, only started
    bool sequential = false;      // one slot at a time
    int downloadType = 0;         // written to the protocol; nonzero repeats a refused verification
};

struct AmplifierDownloadResult {
    int result = 0;                // 0 done; the first failing library result; or a refusal
    std::vector<int> failedSlots;  // 0-15
    bool declined = false;         // a check or question ended the driver before anything was sent
};

// The request as the program state asks for it: the option flags (include loader 1, only loader 1,
// sequential) applied.
AmplifierDownloadRequest DownloadRequestFromOptions(const ProgramState& state,
                                                    std::vector<int> amplifierSlots,
                                                    FirmwareChoice firmware);

// The module's firmware drops its CAN settings when it is replaced (RA51 P2.06, RA51B P5.06).
bool LosesCanSettings(const SlotRecord& record);

// A module waiting in its loader does not tell its hardware revision.
bool HardwareRevisionUnknown(const SlotRecord& record);

// New RA901B/RA677 hardware (revision >= 1.20) takes only firmware from P6.48 on. A module whose
// revision is unknown may be new hardware: it is refused older firmware too.
bool RefusesOldFirmware(const SlotRecord& record, const QString& fileName);

class RunPlan;
// Adds the steps of the download `request` asks for, with their typical durations, to `plan`.
void PlanAmplifierDownload(RunPlan& plan, const ProgramState& state,
                           AmplifierDownloadRequest request);

// Why such a module is refused the firmware: "hardware revision >= 1.20 takes only ...".
QString NewHardwareRule(const SlotRecord& record);

AmplifierDownloadResult RunAmplifierDownload(DriverContext& context,
                                             AmplifierDownloadRequest request);

}  // namespace quorvel
