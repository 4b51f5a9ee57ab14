#include "operator/drivers/run_plan.h"

#include <QStringList>

namespace quorvel {

RunPlan::~RunPlan() {
    if (current_) ui_.setRunPosition(std::nullopt);
}

void RunPlan::add(const QString& unit, const QString& step, qint64 expectedMs) {
    steps_.push_back({unit, step, expectedMs});
}

void RunPlan::enter(const QString& step) {
    for (size_t i = current_ ? *current_ + 1 : 0; i < steps_.size(); ++i) {
        if (steps_[i].name != step) continue;
        current_ = i;
        ui_.setRunPosition(position());
        return;
    }
}

std::optional<RunPosition> RunPlan::position() const {
    if (!current_) return std::nullopt;
    const size_t at = *current_;
    RunPosition position;
    position.unit = steps_[at].unit;
    position.stepName = steps_[at].name;
    position.stepMs = steps_[at].expectedMs;
    for (size_t i = 0; i < steps_.size(); ++i) {
        const bool newUnit = i == 0 || steps_[i].unit != steps_[i - 1].unit;
        if (newUnit) ++position.unitCount;
        if (newUnit && i <= at) position.unitIndex = position.unitCount;
        if (steps_[i].unit == position.unit && position.unitCount == position.unitIndex) {
            ++position.stepCount;
            if (i <= at) ++position.step;
        }
        if (i > at) position.laterMs += steps_[i].expectedMs;
    }
    return position;
}

QString SlotsUnit(const std::vector<int>& slots) {
    QStringList numbers;
    for (const int slot : slots) numbers << QString::number(slot + 1);
    return (slots.size() == 1 ? "slot " : "slots ") + numbers.join(", ");
}

}  // namespace quorvel
