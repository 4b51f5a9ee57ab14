#pragma once
#include <string>

namespace quorlink::amplifier {

// Reads the internal flash (1024 blocks into `path`) and the external flash (into `path` with
// its last character replaced by "1", or `path` itself for external-only and type 3) through
// loader 2. 0, -1 time-out or upload error, -2 time-out on "PRC1,1", -5 file cannot be written.
int uploadFlash(int channel, const std::string& path, int firmwareType, bool externalOnly);

}  // namespace quorlink::amplifier
