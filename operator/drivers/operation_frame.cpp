#include "operator/drivers/operation_frame.h"

namespace quorvel {

OperationFrame::OperationFrame(DriverContext& context, const QString& openingLine,
                               const QString& closingLine)
    : context_(context), closingLine_(closingLine) {
    if (!openingLine.isEmpty()) context_.WriteProtocol(openingLine);
    context_.shell().EnableUserInterface(false);
    context_.ui().setProgressVisible(true);
}

OperationFrame::~OperationFrame() {
    OperatorUi& ui = context_.ui();
    ui.setProgress(0);
    ui.setProgressVisible(false);
    context_.shell().ShowPortSummary();
    if (!closingLine_.isEmpty()) context_.WriteProtocol(closingLine_);
    context_.shell().EnableUserInterface(true);
}

}  // namespace quorvel
