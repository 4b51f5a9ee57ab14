#pragma once
// The one way the loaders turn "steps still to come" into a progress value.
#include <cstdint>

namespace quorlink {

// 100 − remaining × 100 ÷ count, the exact value truncated toward zero. With more remaining than
// count (a loop that starts before its first counted step) the value is at or just below 0.
inline int percentDone(int64_t remaining, int64_t count) {
    return static_cast<int>((count - remaining) * 100 / count);
}

}  // namespace quorlink
