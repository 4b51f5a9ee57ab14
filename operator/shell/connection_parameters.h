#pragma once
// The arguments of OpenConnection, derived from the port settings, and the port summary shown in
// the status bar.
#include <QString>
#include <optional>

#include "operator/shell/settings_store.h"

namespace quorvel {

struct ConnectionParameters {
    int portKind = 1;
    int portParameter = 9600;
    std::optional<QString> portText;  // nullopt is passed as a null text (USB: first device)
    int dataBits = 8;
    int stopBits = 1;
    int deviceAddress = -1;
    int trafficLog = 0;
    int resetSeconds = 30;
};

// Fills `parameters` from `port`. An unknown port name keeps the port kind it had.
void ComputeConnectionParameters(const PortSettings& port, bool trafficLogOn,
                                 ConnectionParameters& parameters);

// The status bar's "Settings" panel for `port`.
QString PortSummary(const PortSettings& port);

}  // namespace quorvel
