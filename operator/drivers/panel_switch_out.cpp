#include "operator/drivers/panel_switch_out.h"

namespace quorvel {
namespace {

// The rack refused the channel selection (the module runs a loader): the panel went out before.

}  // namespace

int SwitchToLoader1PanelOut(DriverContext& context, LibraryGateway::Loader1Switch call,
                            QString* identification) {
    call.panelSwitchOut = true;
    const int result = context.gateway().Switch2Loader1(call, identification);
    if (result == 0 || result == kRefusedChannelSelection) return result;
    const QString note = "The panel was not switched out (result " + QString::number(result) +
                         "); the module is switched to loader 1 without it.";
    context.WriteProtocol(note);
    context.report().addMessage(ReportMessage::Kind::Warning, note);
    call.panelSwitchOut = false;
    return context.gateway().Switch2Loader1(call, identification);
}

}  // namespace quorvel
