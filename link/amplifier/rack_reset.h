#pragma once
#include <functional>

namespace quorlink::amplifier {

// "RST", the reset time in 200 ms steps (each reported as the step number), the wake-up bytes
// and the interpreter re-established. False after "Error reset system, maybe timeout." was reported.
bool resetRack(int seconds, const std::function<void(int step, int steps)>& onStep);

}  // namespace quorlink::amplifier
