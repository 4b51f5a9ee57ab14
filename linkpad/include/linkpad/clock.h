#pragma once
// The one source of time for the port library, the device-link library and the simulated rack.
// The real clock waits exactly; the virtual clock advances instantly and records every wait,
// so tests can check an 11000 ms pause without taking it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace linkpad {

class Clock {
public:
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<std::chrono::steady_clock, duration>;

    virtual ~Clock() = default;
    virtual time_point now() const = 0;
    // A millisecond-exact protocol pause (the device-link library's WaitMs).
    virtual void waitMs(int ms) = 0;
    // The same pause, calling `tick(waitedMs)` at its start and about every `everyMs` while it
    // lasts; the ticks do not move its end.
    virtual void waitMsTicking(int ms, int everyMs, const std::function<void(int)>& tick);
    // Blocks until the given time; used by transports and the simulator while they wait for data.
    virtual void sleepUntil(time_point t) = 0;
    // True for the virtual clock: nothing blocks, time jumps to the next event.
    virtual bool isVirtual() const { return false; }
};

// Steady clock: starts on a clock tick, sleeps with a 1 ns timer slack until shortly before the
// deadline (150 µs, more while wake-ups come late) and spins the rest.
class RealClock final : public Clock {
public:
    time_point now() const override;
    void waitMs(int ms) override;
    void sleepUntil(time_point t) override;
};

// Test clock: starts at zero, jumps forward, records protocol waits.
class VirtualClock final : public Clock {
public:
    time_point now() const override;
    void waitMs(int ms) override;
    void waitMsTicking(int ms, int everyMs, const std::function<void(int)>& tick) override;
    void sleepUntil(time_point t) override;
    bool isVirtual() const override { return true; }

    void advance(duration d);
    std::vector<int> waits() const;  // every waitMs argument, in order
    void clearWaits();
    int64_t nowMs() const;

private:
    mutable std::mutex mutex_;
    time_point now_{};
    std::vector<int> waits_;
};

// Milliseconds since the clock's epoch; convenient for logs and timers.
int64_t toMs(Clock::time_point t);
Clock::time_point fromMs(int64_t ms);

}  // namespace linkpad
