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

}  // namespace quorvel::forms
