#pragma once
// The processor driver: a KX43-family or KX63 processor gets a firmware directory written file
// by file and is restarted on it, or is only restarted (activate). Every refusal comes before
// the download connection; an old boot loader is talked to at 9600 baud, 8E1, and the rack is
// set back to the configured line afterwards.
#include <QString>

#include "operator/drivers/driver_context.h"

namespace quorvel {

// The firmware directory comes from the context's firmware chooser, the function from the
// function window (the UI's chooseOne).
struct ProcessorDownloadRequest {
    bool activateOnly = false;
};

// 0 done; a library result; kOperationDeclined when a check, a question or an empty choice ended
// the driver before the download connection.
int RunProcessorDriver(DriverContext& context, const ProcessorDownloadRequest& request);

// The function file a processor of `processorType` reads: "KX43.CFG", "KXxx.CFG" for a KX63.
QString ProcessorFunctionFileName(const QString& processorType);

}  // namespace quorvel
