#pragma once
// The menu entries of the processor and panel drivers: the processor and panel downloads that
// "mnuTransferDown" routes to, the loader-1 downloads with their guard questions, the activate
// entries, the KX33 upload and the panel bootstrap.
#include "operator/drivers/command_dispatcher.h"

namespace quorvel {

void RegisterProcessorAndPanelCommands(CommandDispatcher& dispatcher);

}  // namespace quorvel
