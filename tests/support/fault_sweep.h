#pragma once
// Faults at every phase of a loader against the simulated rack: each fault kind in turn at the
// first, middle or last command of each kind of a clean run, which must report no error and leave
// the firmware in place (QUORVEL_SWEEP=full: every fault kind at every command). For every run the result is not 0 unless the component holds the firmware,
// an error names what failed, no earlier file is lost and no temporary or partial file is left,
// and a rerun after the recovery the operator is told to do brings the firmware.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "rack/core/faults.h"
#include "sim_rack.h"

namespace testing_support {

bool fullSweep();

// The fault kinds a sweep injects, each in turn, and their names.
inline constexpr rack::FaultAction kSweepActions[] = {
    rack::FaultAction::Drop,     rack::FaultAction::Garble, rack::FaultAction::Delay,
    rack::FaultAction::Question, rack::FaultAction::Close,  rack::FaultAction::PowerOff};
const char* actionName(rack::FaultAction action);

struct SweepTally {
    int runs = 0;
    int detected = 0;        // the loader returned an error
    int falseSuccesses = 0;  // it returned 0 though the component does not hold the firmware
    int recovered = 0;       // the rerun after a detected fault brought the firmware
};

// One row of the sweep table: runs, detected, false successes, recovered.
void printTally(const std::string& loader, const SweepTally& tally);

// The rack fixture is a virtual base, so a loader's own rack fixture can be mixed in.
class FaultSweepFixture : public virtual SimRackTest {
protected:
    // A fresh rack in the state before the run, with the connection open.
    virtual void startRack() = 0;
    // The loader's calls as the operator program makes them; 0 on success.
    virtual int runLoader() = 0;
    // The component's flash or file system (or the uploaded file) equals the firmware.
    virtual bool effectComplete() = 0;
    // Rack commands that belong to the connection, not to the loader.
    virtual bool sweepable(const std::string& line) const;
    // False where `action` at `line` is no fault but an answer the component may give: a refusal
    // "?" of a setting the component does not have.
    virtual bool isFault(const std::string& line, rack::FaultAction action) const {
        (void)line;
        (void)action;
        return true;
    }
    // Files that must survive every run unchanged (the firmware).
    virtual std::vector<std::filesystem::path> keptFiles() const { return {}; }
    // Files that a failed run must leave unchanged (an earlier upload of the same name).
    virtual std::vector<std::filesystem::path> keptOnFailure() const { return {}; }
    // What the messages tell the operator to do before a rerun: here reconnect, and reset the
    // rack when a component lost power.
    virtual void recover(rack::FaultAction action);
    // A failed run may replace an earlier file only with a complete one.
    virtual bool replacementComplete() { return effectComplete(); }
    // The operator switches the rack off and on, and reconnects.
    void powerCycle();
    // The folder where no temporary or partial file may be left.
    virtual std::filesystem::path workFolder() const = 0;
    // The clean run's command lines split into phases [first, end); the sample takes each
    // command kind once per phase. One phase by default.
    virtual std::vector<std::pair<size_t, size_t>> phases(size_t lineCount) const { return {{0, lineCount}}; }
    // Commands of one kind share their first eight characters ("PRC310,5", "PRC2,2,E", "PCH25,2,").
    virtual std::string commandKind(const std::string& line) const { return line.substr(0, 8); }

    // Runs the sweep and prints its table under `loader`.
    SweepTally sweep(const std::string& loader);
    // One run from a fresh rack with the fault `inject` sets up (named `where`), its checks, and
    // the rerun after the recovery.
    void runWithFault(const std::string& where, rack::FaultAction action,
                      const std::function<void()>& inject, SweepTally& tally);
    // Prints the table row; no false success, and every detected fault recovered.
    static void finish(const std::string& loader, const SweepTally& tally);

  private:
    struct Point {
        size_t line;
        rack::FaultAction action;
    };
    std::vector<Point> points(const std::vector<std::string>& lines) const;
    void runPoint(const std::vector<std::string>& lines, const Point& point, SweepTally& tally);
    static std::vector<std::string> snapshot(const std::vector<std::filesystem::path>& files);
};

}  // namespace testing_support
