#pragma once
// Where a subcommand's bytes come from: a raw file, or a reproducible pseudo-random pattern.
#include <cstdint>
#include <string>
#include <vector>

namespace fwgen::cli {

std::vector<uint8_t> readRawFile(const std::string& path);

// `size` bytes from a fixed generator seeded with `seed`: the same arguments give the same bytes.
std::vector<uint8_t> patternBytes(size_t size, uint32_t seed);

}  // namespace fwgen::cli
