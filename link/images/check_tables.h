#pragma once
// The check values the converters compute and the loaders send: one byte per block, totals, the
// extended-address flag, the stamp's file name and the 64-byte blocks' word sum.
#include <array>
#include <cstdint>
#include <string>

namespace quorlink {

struct CheckTables {
    std::array<uint8_t, 2048> a{};   // mode 0: per-block check value
    std::array<uint8_t, 16384> b{};  // mode 1: per-block byte sum
    uint8_t totalA = 0;
    uint8_t totalB = 0;
    bool extendedAddress = false;    // an S2 record was met
    std::string stampFileName;       // firmware path whose name goes into the stamp
    uint32_t wordSum = 0;            // RenderBlock64: sum of little-endian 16-bit words
};

// The library's single set of tables.
CheckTables& checkTables();

}  // namespace quorlink
