#include "linkpad/clock.h"

#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <cerrno>

namespace linkpad {

using std::chrono::duration_cast;
using std::chrono::microseconds;
using std::chrono::milliseconds;

namespace {

constexpr Clock::duration kLeastSpin = microseconds(150);
constexpr Clock::duration kMostSpin = microseconds(500);

// The spin before a deadline follows how late the sleeps wake: a late wake-up widens it at once,
// and it narrows again slowly while the machine is quiet. It stays under 0.5 ms: wake-ups later
// than that come from other threads holding the CPU, which spinning longer does not beat.
Clock::duration nextSpinMargin(Clock::duration margin, Clock::duration lateness) {
    const auto narrowed = margin - margin / 16;
    const auto needed = lateness + lateness / 2 + microseconds(20);
    return std::clamp(std::max(narrowed, needed), kLeastSpin, kMostSpin);
}

}  // namespace

void Clock::waitMsTicking(int ms, int everyMs, const std::function<void(int)>& tick) {
    const auto start = now();
    const auto end = start + milliseconds(ms > 0 ? ms : 0);
    const auto every = milliseconds(everyMs > 0 ? everyMs : 1);
    auto next = start;
    while (next < end) {
        sleepUntil(next);
        if (now() >= end) break;  // an earlier tick outlasted the pause
        tick(static_cast<int>(duration_cast<milliseconds>(now() - start).count()));
        // A tick that took long is not followed at once by the next one.
        while (next <= now()) next += every;
    }
    sleepUntil(end);
}

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
    // A timer slack of 1 ns lets the kernel wake the thread when asked instead of up to 50 µs
    // later; an absolute sleep to shortly before the deadline is then followed by a short spin,
    // so the wait ends exactly while the CPU stays idle for nearly all of it.
    [[maybe_unused]] thread_local const int slack = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    thread_local duration spinMargin = kLeastSpin;
    const auto wake = t - spinMargin;
    if (now() < wake) {
        const auto sinceEpoch = wake.time_since_epoch();
        timespec at{};
        at.tv_sec = static_cast<time_t>(std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch).count());
        at.tv_nsec = static_cast<long>((sinceEpoch - std::chrono::seconds(at.tv_sec)).count());
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
        }
        spinMargin = nextSpinMargin(spinMargin, now() - wake);
    }
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

void VirtualClock::waitMsTicking(int ms, int everyMs, const std::function<void(int)>& tick) {
    {
        std::lock_guard lock(mutex_);
        waits_.push_back(ms);
    }
    Clock::waitMsTicking(ms, everyMs, tick);
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
