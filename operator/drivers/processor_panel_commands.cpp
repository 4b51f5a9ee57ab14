#include "operator/drivers/processor_panel_commands.h"

#include "operator/drivers/amplifier_commands.h"
#include "operator/drivers/kx33_driver.h"
#include "operator/drivers/kx33_upload_driver.h"
#include "operator/drivers/menu_commands.h"
#include "operator/drivers/panel_driver.h"
#include "operator/drivers/processor_driver.h"

namespace quorvel {

void RegisterProcessorAndPanelCommands(CommandDispatcher& dispatcher) {
    DriverContext& context = dispatcher.context();
    dispatcher.add(kDownloadProcessor,
                   {{}, {}, [&context] {
                        if (context.state().Inventory.processor.ProcessorType == "KX33")
                            return RunKx33Driver(context);
                        return RunProcessorDriver(context, {});
                    }});
    dispatcher.add(menu::kKx43Loader1,
                   {FixedLine("-->Download loader1 KX43.<--"),
                    "If this function fails, your KX will\rnot be operational anymore!\r\rAre you "
                    "sure to download loader1 for KX?",
                    [&context] { return RunProcessorDriver(context, {}); }});
    dispatcher.add(menu::kActivateProcessor, {FixedLine("-->Activate KX.<--"), {}, [&context] {
                                                  return RunProcessorDriver(context,
                                                                            {.activateOnly = true});
                                              }});
    dispatcher.add(menu::kUploadKx33, {FixedLine("-->Upload KX33.<--"), {}, [&context] {
                                           return RunKx33UploadDriver(context);
                                       }});
    dispatcher.add(kDownloadPanel, {{}, {}, [&context] { return RunPanelDriver(context, {}); }});
    dispatcher.add(menu::kPanelLoader1,
                   {FixedLine("-->Download loader1 DVxx.<--"),
                    "If a download with this option fails, your DV will\rnot be operational "
                    "anymore!\r\rAre you sure to download loader1 for DV?",
                    [&context] { return RunPanelDriver(context, {.loader1 = true}); }});
    dispatcher.add(menu::kActivatePanel, {FixedLine("-->Activate DV.<--"), {}, [&context] {
                                              return RunPanelDriver(context,
                                                                    {.activateOnly = true});
                                          }});
    dispatcher.add(menu::kPanelBootstrap,
                   {{}, {}, [&context] { return RunPanelBootstrapDriver(context, {}); }});
}

}  // namespace quorvel
