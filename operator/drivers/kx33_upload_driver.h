#pragma once
// The KX33 upload driver: the whole flash of a KX33 (8192 blocks of 512 bytes) into a file.
#include <QString>
#include <optional>

#include "operator/drivers/driver_context.h"

namespace quorvel {

// "KX33pP210.upl" for a KX33 with firmware P2.10.
QString DefaultKx33UploadName(const ProcessorRecord& processor);

// 0 done; the library's result; kOperationDeclined when nothing was read.
int RunKx33UploadDriver(DriverContext& context);

}  // namespace quorvel
