#include "operator/shell/run_position.h"

#include <algorithm>

namespace quorvel {

QString RunPositionText(const RunPosition& position) {
    QString unit = position.unit;
    if (position.unitCount > 1)
        unit += QString(" (%1 of %2)").arg(position.unitIndex).arg(position.unitCount);
    const QString group = position.groupCount > 0 ? QString("group %1 of %2 · ")
                                                         .arg(position.groupIndex)
                                                         .arg(position.groupCount)
                                                   : QString();
    return QString("%1%2 · step %3 of %4 (%5)")
        .arg(group, unit)
        .arg(position.step)
        .arg(position.stepCount)
        .arg(position.stepName);
}

QString RunPositionLine(const RunPosition& position, qint64 elapsedMs) {
    return RunPositionText(position) + " · whole run " +
           RemainingText(RunRemainingMs(position, elapsedMs));
}

qint64 RunRemainingMs(const RunPosition& position, qint64 elapsedMs) {
    return std::max<qint64>(position.stepMs - elapsedMs, 0) + position.laterMs;
}

QString RemainingText(qint64 ms) {
    const qint64 seconds = (std::max<qint64>(ms, 0) + 999) / 1000;
    if (seconds < 60) return QString("about %1 s left").arg(seconds);
    return QString("about %1 min %2 s left").arg(seconds / 60).arg(seconds % 60);
}

}  // namespace quorvel
