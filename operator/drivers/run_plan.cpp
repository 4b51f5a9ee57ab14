#include "operator/drivers/run_plan.h"

#include <QStringList>

namespace quorvel {

RunPlan::~RunPlan() {
    if (current_) ui_.setRunPosition(std::nullopt);
}

void RunPlan::beginGroup(const QString& name) { groups_.push_back(name); }

void RunPlan::add(const QString& unit, const QString& step, qint64 expectedMs) {
    steps_.push_back({static_cast<int>(groups_.size()), unit, step, expectedMs});
}

void RunPlan::enterGroup(const QString& name) {
    const int from = current_ ? steps_[*current_].group : 0;
    for (int group = from + 1; group <= static_cast<int>(groups_.size()); ++group) {
        if (groups_[group - 1] != name) continue;
        enteredGroup_ = group;
        return;
    }
}

void RunPlan::enter(const QString& step) {
    for (size_t i = current_ ? *current_ + 1 : 0; i < steps_.size(); ++i) {
        if (enteredGroup_ != 0 && steps_[i].group != enteredGroup_) continue;
        if (steps_[i].name != step) continue;
        current_ = i;
        ui_.setRunPosition(position());
        return;
    }
}

std::optional<RunPosition> RunPlan::position() const {
    if (!current_) return std::nullopt;
    const size_t at = *current_;
    const Step& current = steps_[at];
    RunPosition position;
    position.groupIndex = groups_.empty() ? 0 : current.group;
    position.groupCount = static_cast<int>(groups_.size());
    position.unit = current.unit;
    position.stepName = current.name;
    position.stepMs = current.expectedMs;
    for (size_t i = 0; i < steps_.size(); ++i) {
        if (i > at) position.laterMs += steps_[i].expectedMs;
        if (steps_[i].group != current.group) continue;
        const bool newUnit = i == 0 || steps_[i].unit != steps_[i - 1].unit ||
                             steps_[i].group != steps_[i - 1].group;
        if (newUnit) ++position.unitCount;
        if (newUnit && i <= at) position.unitIndex = position.unitCount;
        if (steps_[i].unit == position.unit && position.unitCount == position.unitIndex) {
            ++position.stepCount;
            if (i <= at) ++position.step;
        }
    }
    return position;
}

QString SlotsUnit(const std::vector<int>& slots) {
    QStringList numbers;
    for (const int slot : slots) numbers << QString::number(slot + 1);
    return (slots.size() == 1 ? "slot " : "slots ") + numbers.join(", ");
}

}  // namespace quorvel
