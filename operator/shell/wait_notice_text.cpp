#include "operator/shell/wait_notice_text.h"

namespace quorvel {

QString WaitNoticeText(int totalMs, int waitedMs) {
    const int restMs = totalMs - waitedMs;
    if (restMs <= 0) return {};
    return QString("waiting for the module, up to %1 s").arg((restMs + 999) / 1000);
}

}  // namespace quorvel
