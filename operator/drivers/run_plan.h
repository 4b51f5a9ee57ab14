#pragma once
// The steps a run takes, in order, each with what it works on and its expected duration.
// Entering a step tells the UI where the run stands and what is left of it; when the plan ends
// the UI hears that the run is over. A run of several downloads (update all) plans them all in
// one plan, each as a group of its own, so that its estimate covers the whole run.
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

    // Steps added from now on belong to the group `name` ("RA51").
    void beginGroup(const QString& name);
    // Appends a step working on `unit` ("slot 5"); consecutive steps of one unit belong together.
    void add(const QString& unit, const QString& step, qint64 expectedMs);
    // The steps entered from now on are looked for in the next group called `name` only.
    void enterGroup(const QString& name);
    // Moves on to the next planned step called `step` and tells the UI; a step the plan does not
    // hold further on (within the entered group) changes nothing.
    void enter(const QString& step);
    std::optional<RunPosition> position() const;
    bool empty() const { return steps_.empty(); }

  private:
    struct Step {
        int group = 0;  // 1-based; 0 when the plan has no groups
        QString unit;
        QString name;
        qint64 expectedMs = 0;
    };

    OperatorUi& ui_;
    std::vector<Step> steps_;
    std::vector<QString> groups_;
    std::optional<size_t> current_;
    int enteredGroup_ = 0;  // 0: any step further on
};

// "slot 5", "slots 1, 2, 5" for 0-based slots.
QString SlotsUnit(const std::vector<int>& slots);

}  // namespace quorvel
