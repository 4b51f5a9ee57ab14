#pragma once
// The first switch of a download or upload run into loader 1 switches the panel out of the bus
// first, whether or not the scan found a panel. A panel whose firmware does not run leaves that
// unanswered and the call fails: the run says so and switches the module again without the panel.
#include "operator/drivers/driver_context.h"

namespace quorvel {

// The library's answer when the module refused the channel selection.
inline constexpr int kRefusedChannelSelection = -111;

// Switch2Loader1 with `call.panelSwitchOut` set; on a failure the same switch without it.
int SwitchToLoader1PanelOut(DriverContext& context, LibraryGateway::Loader1Switch call,
                            QString* identification = nullptr);

}  // namespace quorvel
