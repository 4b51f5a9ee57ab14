#include "linkpad/clock.h"

#include <thread>

namespace linkpad {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

Clock::time_point RealClock::now() const {
    return std::chrono::time_point_cast<duration>(std::chrono::steady_clock::now());
}

void RealClock::waitMs(int ms) {
    // Start on a tick of the clock, so that the wait is measured from a fresh reading. The steady
    // clock ticks in nanoseconds: aligning to a whole millisecond, as a 1 ms timer needs, would
    // only add up to a millisecond to every wait.
    const auto start = now();
    time_point tick = now();
    while (tick == start) tick = now();
    sleepUntil(tick + milliseconds(ms > 0 ? ms : 0));
}

void RealClock::sleepUntil(time_point t) {
    // Sleep all but the last 2 ms, then spin: the scheduler's wake-up jitter stays out of the wait.
    const auto coarse = t - milliseconds(2);
    if (now() < coarse) std::this_thread::sleep_until(coarse);
    while (now() < t) {
    }
}

Clock::time_point VirtualClock::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void VirtualClock::waitMs(int ms) {
    std::lock_guard lock(mutex_);
    waits_.push_back(ms);
    if (ms > 0) now_ += milliseconds(ms);
}

void VirtualClock::sleepUntil(time_point t) {
    std::lock_guard lock(mutex_);
    if (t > now_) now_ = t;
}

void VirtualClock::advance(duration d) {
    std::lock_guard lock(mutex_);
    now_ += d;
}

std::vector<int> VirtualClock::waits() const {
    std::lock_guard lock(mutex_);
    return waits_;
}

void VirtualClock::clearWaits() {
    std::lock_guard lock(mutex_);
    waits_.clear();
}

int64_t VirtualClock::nowMs() const { return toMs(now()); }

int64_t toMs(Clock::time_point t) {
    return duration_cast<milliseconds>(t.time_since_epoch()).count();
}

Clock::time_point fromMs(int64_t ms) { return Clock::time_point{milliseconds(ms)}; }

}  // namespace linkpad
