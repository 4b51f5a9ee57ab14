#pragma once
// Where a run stands: which slot (or group of slots) of how many, which step of that slot's
// steps, and how long the run is expected to take from here. The drivers tell it; the window,
// the command line and the tests show or record it.
#include <QString>

namespace quorvel {

struct RunPosition {
    int groupIndex = 0;  // 1-based group of a run in groups (update all); 0: no groups
    int groupCount = 0;
    QString unit;       // what the step works on: "slot 5", "slots 1, 2"
    int unitIndex = 0;  // 1-based
    int unitCount = 0;
    int step = 0;  // 1-based, within the unit
    int stepCount = 0;
    QString stepName;    // "download application"
    qint64 stepMs = 0;   // the step's expected duration
    qint64 laterMs = 0;  // the expected duration of every step after it

    bool operator==(const RunPosition&) const = default;
};

// "slot 5 (2 of 3) · step 4 of 8 (download application)"; a run of one unit leaves out its count,
// a run in groups starts with "group 2 of 3 · ".
QString RunPositionText(const RunPosition& position);
// The position with the whole run's estimate `elapsedMs` into the step:
// "slot 5 · step 4 of 8 (download application) · whole run about 2 min 10 s left".
QString RunPositionLine(const RunPosition& position, qint64 elapsedMs);
// The expected rest of the run `elapsedMs` into the current step; a step that takes longer than
// expected counts as just ending.
qint64 RunRemainingMs(const RunPosition& position, qint64 elapsedMs);
// "about 40 s left", "about 2 min 10 s left" (rounded up to whole seconds).
QString RemainingText(qint64 ms);

}  // namespace quorvel
