#pragma once
// What every driver works with: the shell (state, protocol, messages, UI), the library gateway,
// the devices the operator selected, how firmware is chosen, and the run report of the current
// operation. One context lives as long as the front end.
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "operator/drivers/firmware_choice.h"
#include "operator/drivers/library_gateway.h"
#include "operator/drivers/run_report.h"
#include "operator/shell/operator_shell.h"

namespace quorvel {

class RunPlan;

// The result of a driver with nothing to do: an empty selection, or modules whose type does not
// offer the operation. Nothing was sent.
inline constexpr int kNothingToDo = -252;
// The result of a driver asked to work on a slot that holds no module. Nothing was sent.
inline constexpr int kNoDevice = -253;

// The ticked boxes of the device tree: the processor, the panel, or any set of amplifier slots
// (0-15, ascending).
struct DeviceChoice {
    bool processor = false;
    bool panel = false;
    std::vector<int> amplifierSlots;

    int channelMask() const;
};

class DriverContext {
  public:
    explicit DriverContext(OperatorShell& shell);
    ~DriverContext();
    DriverContext(const DriverContext&) = delete;
    DriverContext& operator=(const DriverContext&) = delete;

    OperatorShell& shell() { return shell_; }
    ProgramState& state() { return shell_.state(); }
    OperatorUi& ui() { return shell_.ui(); }
    LibraryGateway& gateway() { return gateway_; }
    MessageService& messages() { return shell_.messages(); }
    int ShowMessage(const QString& prompt, int buttons, const QString& title = {}) {
        return shell_.ShowMessage(prompt, buttons, title);
    }
    void WriteProtocol(const QString& text) { shell_.WriteProtocol(text); }

    // A new report for an operation; the messages shown from now on go into it.
    RunReport& startReport(const QString& operation);
    RunReport& report() { return report_; }
    // Puts back a report kept aside while an operation ran one of its own (the backup before a
    // download).
    void restoreReport(RunReport report) { report_ = std::move(report); }

    DeviceChoice selection;
    // The firmware list by default; the command line puts its --firmware choice here.
    FirmwareChooser chooseFirmware;
    // Called after an operation changed the rack (the window refreshes its device tree).
    std::function<void()> refreshDeviceTree;
    void RefreshDeviceTree() {
        if (refreshDeviceTree) refreshDeviceTree();
    }
    // Ticks the panel box alone (the bootstrap in a production start works on the panel even
    // when no scan reached it).
    std::function<void()> tickPanel;
    // Called where a driver asks for a rescan (the window scans; the command line may not).
    std::function<void()> rescan;
    // The panel bootstrap's serial number and hardware revision in one window; nullopt when the
    // operator cancelled and `confirmCancel` said yes. Unset: the driver asks for each in turn.
    std::function<std::optional<std::pair<QString, QString>>(
        const std::function<bool()>& confirmCancel)>
        askBootstrapValues;
    // Plan only: the drivers check and report what they would do and send nothing.
    bool dryRun = false;
    // Runs once the plan was accepted (every check passed, every question answered), before the
    // run's first byte: the command line's flash backup. Nonzero stops the run with that result.
    std::function<int(const std::vector<int>& amplifierSlots)> beforeRun;
    // The plan of a run made of several downloads (update all): the downloads enter their steps
    // there instead of planning their own.
    RunPlan* wholeRunPlan = nullptr;

  private:
    OperatorShell& shell_;
    LibraryGateway gateway_;
    RunReport report_;
};

}  // namespace quorvel
