#include "operator/drivers/amplifier_commands.h"

#include "operator/drivers/amplifier_download.h"
#include "operator/drivers/amplifier_upload.h"
#include "operator/drivers/download_all.h"
#include "operator/drivers/maintenance.h"
#include "operator/drivers/menu_commands.h"
#include "operator/drivers/slot_checks.h"

namespace quorvel {
namespace {

QString downloadLine(DriverContext& context) {
    const DeviceChoice& selection = context.selection;
    if (selection.processor) {
        return context.state().Inventory.processor.ProcessorType == "KX33" ? "-->Download KX33.<--"
                                                                           : "-->Download KX.<--";
    }
    if (selection.panel) return "-->Download DVxx.<--";
    return "-->Download RAxx.<--";
}

// A driver over the selected amplifier slots; the driver refuses an empty selection.
Command onSlots(DriverContext& context, const QString& line, const QString& operation,
                std::function<int(const std::vector<int>&)> driver) {
    return {FixedLine(line), {}, [&context, operation, driver] {
                context.startReport(operation);
                const int result = driver(context.selection.amplifierSlots);
                context.report().setResult(result);
                return result;
            }};
}

}  // namespace

int DownloadSelectedAmplifiers(DriverContext& context, bool activateOnly, bool iec) {
    const std::vector<int>& amplifierSlots = context.selection.amplifierSlots;
    const QString operation = iec ? "IEC software download" : activateOnly ? "Activate" : "Download";
    if (const int refused = CheckSlotsHoldModules(context, operation, amplifierSlots)) {
        context.report().setResult(refused);
        return refused;
    }
    const bool quiet = context.messages().QuietMessages;
    const auto firmware =
        context.chooseFirmware(AmplifierTarget(context.state(), amplifierSlots.front()), quiet);
    if (!firmware) return kOperationDeclined;
    AmplifierDownloadRequest request =
        DownloadRequestFromOptions(context.state(), amplifierSlots, *firmware);
    request.activateOnly = activateOnly;
    if (iec) request.content = AmplifierDownloadRequest::Content::IecSoftware;
    const AmplifierDownloadResult result = RunAmplifierDownload(context, request);
    context.report().setResult(result.result);
    return result.result;
}

void RegisterAmplifierCommands(CommandDispatcher& dispatcher) {
    DriverContext& context = dispatcher.context();
    const Command download{[&context] { return downloadLine(context); },
                           {},
                           [&dispatcher, &context] {
                               if (context.selection.processor)
                                   return dispatcher.dispatch(kDownloadProcessor);
                               if (context.selection.panel)
                                   return dispatcher.dispatch(kDownloadPanel);
                               context.startReport("download");
                               return DownloadSelectedAmplifiers(context);
                           }};
    dispatcher.add(menu::kDownload, download);
    dispatcher.add(menu::kButtonDownload, download);
    dispatcher.add(menu::kDownloadIec, {FixedLine("-->Download IEC.<--"), {}, [&context] {
                                            context.startReport("download IEC software");
                                            return DownloadSelectedAmplifiers(context, false, true);
                                        }});
    dispatcher.add(menu::kActivateAmplifiers, {FixedLine("-->Activate RA.<--"), {}, [&context] {
                                                   context.startReport("activate");
                                                   return DownloadSelectedAmplifiers(context, true);
                                               }});
    dispatcher.add(menu::kUpdateAll, {FixedLine("-->Update all RA.<--"), {}, [&context] {
                                          return DownloadAll(context).run();
                                      }});
    dispatcher.add(menu::kUploadAmplifier,
                   onSlots(context, "-->Upload RA.<--", "upload flash", [&context](const auto& s) {
                       return UploadAmplifierFlash(context, {s, false, std::nullopt, false});
                   }));
    dispatcher.add(
        menu::kUploadIec,
        onSlots(context, "-->Upload IEC.<--", "upload IEC software", [&context](const auto& s) {
            return UploadAmplifierFlash(context, {s, true, std::nullopt, false});
        }));
    dispatcher.add(menu::kUploadEeprom, onSlots(context, "-->Upload JB6xx/JB9xx EEPROM.<--",
                                                "upload EEPROM", [&context](const auto& s) {
                                                    return UploadAmplifierEeprom(context, s,
                                                                                 std::nullopt);
                                                }));
    dispatcher.add(menu::kSwitchToRc, onSlots(context, "-->Switch to RC mode.<--", "switch to RC",
                                              [&context](const auto& s) {
                                                  return SwitchOperatingMode(context, s, kRcMode);
                                              }));
    dispatcher.add(menu::kSwitchToRa, onSlots(context, "-->Switch to RA mode.<--", "switch to RA",
                                              [&context](const auto& s) {
                                                  return SwitchOperatingMode(context, s, kRaMode);
                                              }));
    dispatcher.add(menu::kSubChannels,
                   onSlots(context, "-->Change channel count.<--", "change sub-channels",
                           [&context](const auto& s) { return ChangeSubChannels(context, s); }));
    dispatcher.add(menu::kResetLoader1, onSlots(context, "-->Reset hidden loader1 in VTXsplit.<--",
                                                "reset loader 1", [&context](const auto& s) {
                                                    return ResetHiddenLoader1(context, s);
                                                }));
    dispatcher.add(menu::kClearChannelNames,
                   onSlots(context, "-->Clear UCC.<--", "clear channel names",
                           [&context](const auto& s) { return ClearChannelNames(context, s); }));
    dispatcher.add(menu::kInterfaceBaudRate,
                   {FixedLine("-->Reset internal baudrate.<--"), {}, [&context] {
                        context.startReport("interface baud rate");
                        return SetInterfaceBaudRate(context);
                    }});
}

}  // namespace quorvel
