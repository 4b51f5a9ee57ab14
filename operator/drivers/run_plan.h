#pragma once
// The steps a run takes, in order, each with what it works on and its expected duration.
// Entering a step tells the UI where the run stands and what is left of it; when the plan ends
// the UI hears that the run is over.
#include <QString>
#include <optional>
#include <vector>

#include "operator/shell/operator_ui.h"

namespace quorvel {

class RunPlan {
  public:
    explicit RunPlan(OperatorUi& ui) : ui_(ui) {}
    ~RunPlan();
    RunPlan(const RunPlan&) = delete;
    RunPlan& operator=(const RunPlan&) = delete;

    // Appends a step working on `unit` ("slot 5"); consecutive steps of one unit belong together.
    void add(const QString& unit, const QString& step, qint64 expectedMs);
    // Moves on to the next planned step called `step` and tells the UI; a step the plan does not
    // hold further on changes nothing.
    void enter(const QString& step);
    std::optional<RunPosition> position() const;

  private:
    struct Step {
        QString unit;
        QString name;
        qint64 expectedMs = 0;
    };

    OperatorUi& ui_;
    std::vector<Step> steps_;
    std::optional<size_t> current_;
};

// "slot 5", "slots 1, 2, 5" for 0-based slots.
QString SlotsUnit(const std::vector<int>& slots);

}  // namespace quorvel
