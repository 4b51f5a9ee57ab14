#pragma once
// The flash image file of a bootstrap run: cleared, filled from the HEX files, stamped with the
// serial number and the revision text.
#include "link/panel/strapper_parameters.h"
#include "link/panel/strapper_report.h"

namespace quorlink::panel {

// 0, -103 a file not opened or not readable as Intel HEX, -101 a text outside the image.
int buildFlashImage(const StrapperParameters& parameters, StrapperReporter& reporter);

}  // namespace quorlink::panel
