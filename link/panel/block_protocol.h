#pragma once
// Streams the flash image to the programming program running in the panel controller: the block
// size, then every block outside the free ranges with its number and check byte.
#include <cstdio>

#include "link/panel/strapper_parameters.h"
#include "link/panel/strapper_report.h"

namespace quorlink::panel {

// 0, -3 no acknowledgement, -11 a block or the block size refused, -103 image unreadable.
int programImage(std::FILE* image, const StrapperParameters& parameters,
                 StrapperReporter& reporter);

}  // namespace quorlink::panel
