#pragma once
// The menu entry "mnuTransferNodePodDown" and the toolbar button "NodePod": the NodePod window
// for the one ticked RA56. The front end shows the window until the operator closes it; the
// command makes sure the rack is reset afterwards when the RA56 was left in its download mode.
#include <functional>

#include "operator/drivers/command_dispatcher.h"
#include "operator/drivers/nodepod_window.h"

namespace quorvel {

// Shows `window` (scan on first activation, ticks, downloads) and returns when it was closed.
using NodePodWindowShow = std::function<void(NodePodWindow& window)>;

// Status "NODEPOD download...", the window over `windowBars` (its own status and progress
// bars), status "Ready". The window's last download result; kOperationDeclined when the
// selection is not exactly one RA56 whose type the module reported.
int RunNodePodWindow(DriverContext& context, OperatorUi& windowBars, const NodePodWindowShow& show);

void RegisterNodePodCommand(CommandDispatcher& dispatcher, OperatorUi& windowBars,
                            NodePodWindowShow show);

}  // namespace quorvel
