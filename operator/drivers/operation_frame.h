#pragma once
// The frame around every operation that talks to the rack: the opening protocol line, the user
// interface locked and the progress bar shown; at the end, however the driver leaves, the
// progress bar reset and hidden, the port summary refreshed, the closing protocol line and the
// interface unlocked.
#include <QString>

#include "operator/drivers/driver_context.h"

namespace quorvel {

class OperationFrame {
  public:
    // `openingLine` empty: the driver wrote its own; `closingLine` empty: none is written.
    explicit OperationFrame(DriverContext& context, const QString& openingLine = {},
                            const QString& closingLine = {});
    ~OperationFrame();
    OperationFrame(const OperationFrame&) = delete;
    OperationFrame& operator=(const OperationFrame&) = delete;

  private:
    DriverContext& context_;
    QString closingLine_;
};

}  // namespace quorvel
