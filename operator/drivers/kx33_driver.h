#pragma once
// The KX33 driver: one image file of the chosen firmware directory written block by block and
// the processor restarted on it. A failure in the flash phase leaves the flash unusable, so it
// is tried once more.
#include <QString>
#include <optional>

#include "operator/drivers/driver_context.h"

namespace quorvel {

struct Kx33DownloadRequest {
    // The function named so instead of the function window (the command line); nullopt: the
    // operator chooses. The firmware directory comes from the context's firmware chooser.
    std::optional<QString> function;
};

// 0 done; the last library result; kOperationDeclined when nothing was sent.
int RunKx33Driver(DriverContext& context, const Kx33DownloadRequest& request);

}  // namespace quorvel
