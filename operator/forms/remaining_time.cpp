#include "operator/forms/remaining_time.h"

namespace quorvel::forms {

QString RemainingTime::update(int percent, qint64 nowMs) {
    if (!started_ || percent < lastPercent_) {
        started_ = true;
        startMs_ = nowMs;
        startPercent_ = percent;
    }
    lastPercent_ = percent;
    const qint64 elapsed = nowMs - startMs_;
    const int done = percent - startPercent_;
    if (percent >= 100 || elapsed < kMinimumMeasuredMs || done < kMinimumMeasuredPercent) return {};
    return RemainingText(elapsed * (100 - percent) / done);
}

QString RemainingText(qint64 ms) {
    const qint64 seconds = (ms + 999) / 1000;
    if (seconds < 60) return QString("about %1 s left").arg(seconds);
    return QString("about %1 min %2 s left").arg(seconds / 60).arg(seconds % 60);
}

}  // namespace quorvel::forms
