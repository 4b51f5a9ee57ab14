// How exactly WaitMs(5) ends on the real clock: it should end 5 ms after it was called.
// Prints the error of 2000 waits; never fails.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "link/channel/channel.h"

namespace {

using std::chrono::duration;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr int kWaits = 2000;
constexpr int kWaitMs = 5;

double percentile(const std::vector<double>& sorted, double p) {
    return sorted[static_cast<size_t>(p * static_cast<double>(sorted.size() - 1))];
}

}  // namespace

int main() {
    std::vector<double> errorsMs;
    errorsMs.reserve(kWaits);
    for (int i = 0; i < kWaits; ++i) {
        const auto start = steady_clock::now();
        quorlink::channel().waitMs(kWaitMs);
        const auto end = steady_clock::now();
        const auto due = start + milliseconds(kWaitMs);
        errorsMs.push_back(std::abs(duration<double, std::milli>(end - due).count()));
    }
    std::sort(errorsMs.begin(), errorsMs.end());
    const double median = percentile(errorsMs, 0.5);
    const double p99 = percentile(errorsMs, 0.99);
    std::printf("WaitMs(%d) error over %d waits (real clock)\n", kWaitMs, kWaits);
    std::printf("  median %.4f ms   (goal <= 0.05 ms: %s)\n", median, median <= 0.05 ? "met" : "missed");
    std::printf("  p99    %.4f ms   (goal <= 0.3 ms:  %s)\n", p99, p99 <= 0.3 ? "met" : "missed");
    std::printf("  max    %.4f ms\n", errorsMs.back());
    return 0;
}
