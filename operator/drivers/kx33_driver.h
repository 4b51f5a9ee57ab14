#pragma once
// The KX33 driver: one image file of the chosen firmware directory written block by block and
// the processor restarted on it. A failure in the flash phase leaves the flash unusable, so it
// is tried once more.
#include "operator/drivers/driver_context.h"

namespace quorvel {

// 0 done; the last library result; kOperationDeclined when nothing was sent. The firmware
// directory comes from the context's firmware chooser, the function from the function window
// (the UI's chooseOne).
int RunKx33Driver(DriverContext& context);

}  // namespace quorvel
