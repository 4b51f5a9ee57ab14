#include "operator/shell/wait_notice_text.h"

namespace quorvel {

QString WaitNoticeText(int totalMs, int waitedMs, const QString& waitingFor) {
    const int restMs = totalMs - waitedMs;
    if (restMs <= 0) return {};
    return QString("waiting for %1, up to %2 s").arg(waitingFor).arg((restMs + 999) / 1000);
}

}  // namespace quorvel
