#include "wait_notice.h"

#include <algorithm>

#include "linkpad/hooks.h"

namespace linkpad {

namespace {

QTX_WaitNoticeProc currentNotice = nullptr;
void* currentContext = nullptr;
bool telling = false;  // a wait inside the notice itself is not told again

}  // namespace

void setWaitNotice(QTX_WaitNoticeProc notice, void* context) {
    currentNotice = notice;
    currentContext = context;
}

bool waitNoticeWanted(int totalMs) {
    return currentNotice != nullptr && !telling && totalMs >= kWaitNoticeFromMs;
}

void tellWait(int totalMs, int waitedMs) {
    if (!currentNotice || telling) return;
    telling = true;
    currentNotice(totalMs, std::min(waitedMs, totalMs), currentContext);
    telling = false;
}

ReadWaitNotice::ReadWaitNotice(int timeoutMs)
    : active_(waitNoticeWanted(timeoutMs)),
      timeoutMs_(timeoutMs),
      start_(clock().now()),
      next_(start_ + std::chrono::milliseconds(kReadNoticeAfterMs)) {}

Clock::time_point ReadWaitNotice::sliceEnd(Clock::time_point deadline) const {
    return active_ ? std::min(deadline, next_) : deadline;
}

void ReadWaitNotice::poll() {
    if (!active_) return;
    const auto now = clock().now();
    if (now < next_) return;
    const int waited = waitedMs();
    if (waited >= timeoutMs_) return;  // the time-out's own notice is the last one
    tellWait(timeoutMs_, waited);
    told_ = true;
    // A notice that took long is not followed at once by the next one.
    while (next_ <= clock().now()) next_ += std::chrono::milliseconds(kWaitNoticeEveryMs);
}

void ReadWaitNotice::finish() {
    if (!told_) return;
    const int waited = std::min(waitedMs(), timeoutMs_);
    tellWait(waited, waited);
    told_ = false;
}

int ReadWaitNotice::waitedMs() const {
    const auto waited = clock().now() - start_;
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count());
}

}  // namespace linkpad
