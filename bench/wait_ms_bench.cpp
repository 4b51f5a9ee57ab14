// How exactly WaitMs(5) ends on the real clock and what it costs: the library's pacing (1 ns timer
// slack, absolute sleep to shortly before the deadline, short spin) beside the earlier method
// (relative sleep to 2 ms before the deadline, then spin). Prints the lateness of 2000 waits and
// the CPU time as a share of the wall time; never fails.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "link/channel/channel.h"

namespace {

using std::chrono::duration;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr int kWaits = 2000;
constexpr int kWaitMs = 5;

struct Figures {
    double medianMs;
    double p99Ms;
    double maxMs;
    double cpuShare;
};

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double percentile(const std::vector<double>& sorted, double p) {
    return sorted[static_cast<size_t>(p * static_cast<double>(sorted.size() - 1))];
}

Figures measure(const std::function<void()>& wait) {
    std::vector<double> latenessMs;
    latenessMs.reserve(kWaits);
    const double cpuBefore = threadCpuSeconds();
    const auto wallBefore = steady_clock::now();
    for (int i = 0; i < kWaits; ++i) {
        const auto start = steady_clock::now();
        wait();
        const auto due = start + milliseconds(kWaitMs);
        latenessMs.push_back(std::abs(duration<double, std::milli>(steady_clock::now() - due).count()));
    }
    const double wall = duration<double>(steady_clock::now() - wallBefore).count();
    std::sort(latenessMs.begin(), latenessMs.end());
    return {percentile(latenessMs, 0.5), percentile(latenessMs, 0.99), latenessMs.back(),
            (threadCpuSeconds() - cpuBefore) / wall};
}

// The earlier method, kept here only for comparison.
void sleepThenSpinLast2Ms() {
    const auto due = steady_clock::now() + milliseconds(kWaitMs);
    std::this_thread::sleep_until(due - milliseconds(2));
    while (steady_clock::now() < due) {
    }
}

}  // namespace

int main() {
    const Figures library = measure([] { quorlink::channel().waitMs(kWaitMs); });
    const Figures earlier = measure(sleepThenSpinLast2Ms);
    std::printf("WaitMs(%d) over %d waits (real clock)      library   earlier (spin 2 ms)   goal\n", kWaitMs, kWaits);
    std::printf("  lateness median (ms)                     %7.4f   %7.4f               <= 0.05\n", library.medianMs, earlier.medianMs);
    std::printf("  lateness p99 (ms)                        %7.4f   %7.4f               <= 0.3\n", library.p99Ms, earlier.p99Ms);
    std::printf("  lateness max (ms)                        %7.4f   %7.4f\n", library.maxMs, earlier.maxMs);
    std::printf("  CPU share of wall time                   %6.1f %%  %6.1f %%              <= 10 %%\n",
                100 * library.cpuShare, 100 * earlier.cpuShare);
    return 0;
}
