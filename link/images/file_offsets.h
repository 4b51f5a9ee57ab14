#pragma once
// 64-bit positioning of C streams (long is 32 bits on Windows).
#include <cstdint>
#include <cstdio>

namespace quorlink {

bool seekTo(std::FILE* file, int64_t position, int origin = SEEK_SET);
int64_t positionOf(std::FILE* file);

}  // namespace quorlink
