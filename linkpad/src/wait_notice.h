#pragma once
// The wait notice: the caller's function that hears about long waits while they last, so that a
// window can repaint and say what it waits for instead of freezing.
#include "linkpad/clock.h"
#include "linkpad/linkpad.h"

namespace linkpad {

constexpr int kWaitNoticeFromMs = 1000;  // shorter waits are never told (the 5 ms command pause)
constexpr int kWaitNoticeEveryMs = 100;  // how often a wait is told while it lasts
constexpr int kReadNoticeAfterMs = 500;  // an answer missing this long makes a read a wait

void setWaitNotice(QTX_WaitNoticeProc notice, void* context);
// True when a wait of `totalMs` is told: a notice is registered, the wait is long enough and no
// notice is running on this wait's behalf already.
bool waitNoticeWanted(int totalMs);
void tellWait(int totalMs, int waitedMs);

// A read's wait for its answer, told from kReadNoticeAfterMs on while the answer is missing.
class ReadWaitNotice {
  public:
    explicit ReadWaitNotice(int timeoutMs);
    // Where the next receive must return, so that the notice is told on time.
    Clock::time_point sliceEnd(Clock::time_point deadline) const;
    // Tells the wait when a notice is due.
    void poll();
    // The read is over: the last notice, if the wait was told at all.
    void finish();

  private:
    int waitedMs() const;

    bool active_;
    bool told_ = false;
    int timeoutMs_;
    Clock::time_point start_;
    Clock::time_point next_;
};

}  // namespace linkpad
