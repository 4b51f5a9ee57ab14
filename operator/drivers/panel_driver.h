#pragma once
// The panel drivers: panel firmware (application or loader 1) downloaded and started, or the
// panel application only started (activate); and the bootstrap of a panel whose controller
// waits in its bootstrap mode, over the serial line only.
#include <QString>
#include <optional>

#include "operator/drivers/driver_context.h"

namespace quorvel {

// The firmware file comes from the context's firmware chooser.
struct PanelDownloadRequest {
    bool activateOnly = false;
    bool loader1 = false;
};

struct PanelBootstrapRequest {
    // The values of the input window given in advance; nullopt: the operator types them.
    std::optional<QString> serialNumber;
    std::optional<QString> hardwareRevision;
};

// 0 done; a library result; kOperationDeclined when nothing was sent.
int RunPanelDriver(DriverContext& context, const PanelDownloadRequest& request);
int RunPanelBootstrapDriver(DriverContext& context, const PanelBootstrapRequest& request);

// The version a panel firmware name carries: "DV33A213.S00" gives "2.13".
QString PanelVersionFromFileName(const QString& name);

}  // namespace quorvel
