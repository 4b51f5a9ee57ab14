#pragma once
// "Update all RA Amplifiers": a planning pass (scan, default firmware per module type, to-do
// list, question) and a download pass (one amplifier download per module type that needs it,
// then the protocol). Messages are collected into the report instead of shown.
#include <QString>
#include <array>

#include "operator/drivers/driver_context.h"

namespace quorvel {

class DownloadAll {
  public:
    enum Result : int { kGoOn = 0, kScanFailed = -1, kNothingToDo = -2, kNotConfirmed = -255 };
    enum Pass : int { kPlanning = 0, kDownload = 1 };

    explicit DownloadAll(DriverContext& context) : context_(context) {}

    // Both passes: the download pass runs when the planning pass returns kGoOn. In a dry run
    // only the planning pass runs and nobody is asked.
    int run();
    // One pass; returns the result above.
    int pass(Pass which);

    // The report text of the last pass (lines end with CR).
    const QString& reportText() const;
    // Modules counted for download and groups, as the last pass ended.
    int components() const { return components_; }
    int loops() const { return loops_; }

  private:
    void processorSection();
    void panelSection();
    void amplifierGroups();
    void group(int first);
    bool decideSlot(int slot, const std::optional<FirmwareChoice>& firmware);
    void downloadGroup(int snapshot);
    void lost(int slot);
    int endOfPass();
    void append(const QString& text);
    std::optional<FirmwareChoice> defaultFirmware(const FirmwareTarget& target);

    DriverContext& context_;
    Pass pass_ = kPlanning;
    bool scanSucceeded_ = false;
    int components_ = 0;
    int loops_ = 0;
    bool failedBefore_ = false;
    int failureCount_ = 0;
    std::array<bool, 16> enabled_{};
    std::array<bool, 16> checked_{};
    std::vector<int> groupSlots_;
    std::optional<FirmwareChoice> groupFirmware_;
    QString groupProblem_;  // why the group's firmware cannot be loaded; empty when it can
    std::array<QString, 16> plannedDecision_;  // the planning pass's decision per slot
    std::array<bool, 16> plannedSelected_{};
    struct PlannedGroup {
        QString name;  // the modules' file prefix
        std::vector<int> amplifierSlots;
        FirmwareChoice firmware;
    };
    std::vector<PlannedGroup> plannedGroups_;  // the groups the planning pass selected
};

// Up to date: a standard build ("0") not older than the file, or a special build newer than it.
bool FirmwareUpToDate(const QString& versionSuffix, const QString& softwareVersion,
                      const QString& fileVersion);
// A module is up to date when it runs an application that is (above); a module running a loader
// never is.
bool ModuleUpToDate(const SlotRecord& record, const QString& fileVersion);

}  // namespace quorvel
