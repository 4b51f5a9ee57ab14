#pragma once
#include <string>

namespace quorlink::amplifier {

// Sends loader 2 from `path` (S-record for type 1, Intel HEX for types 2-4) to the modules
// waiting in loader 1. 0, -1 file, conversion or time-out, -2 time-out on "PRC1,1" or a refused
// data block.
int downloadLoader2(const std::string& path, int firmwareType);

}  // namespace quorlink::amplifier
