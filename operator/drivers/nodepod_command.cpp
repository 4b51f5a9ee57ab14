#include "operator/drivers/nodepod_command.h"

#include "operator/drivers/device_selection.h"
#include "operator/drivers/menu_commands.h"

namespace quorvel {
namespace {

bool singleRa56(const ProgramState& state, const DeviceChoice& choice) {
    if (choice.processor || choice.panel || choice.amplifierSlots.size() != 1) return false;
    DeviceSelection selection(state);
    return selection.setSlotTicked(choice.amplifierSlots.front(), true) &&
           selection.isEnabled(menu::kNodePodDownload);
}

}  // namespace

int RunNodePodWindow(DriverContext& context, OperatorUi& windowBars,
                     const NodePodWindowShow& show) {
    if (!show || !singleRa56(context.state(), context.selection)) return kOperationDeclined;
    context.startReport("NodePod download");
    context.ui().setStatus("NODEPOD download...");
    NodePodWindow window(context, windowBars, context.selection.amplifierSlots.front());
    show(window);
    // A front end that let the window go without closing it still restarts the RA56 normally.
    window.close();
    context.ui().setStatus("Ready");
    context.report().setResult(window.lastResult());
    return window.lastResult();
}

void RegisterNodePodCommand(CommandDispatcher& dispatcher, OperatorUi& windowBars,
                            NodePodWindowShow show) {
    DriverContext& context = dispatcher.context();
    const Command command{{}, {}, [&context, &windowBars, show = std::move(show)] {
                              return RunNodePodWindow(context, windowBars, show);
                          }};
    dispatcher.add(menu::kNodePodDownload, command);
    dispatcher.add(menu::kButtonNodePod, command);
}

}  // namespace quorvel
