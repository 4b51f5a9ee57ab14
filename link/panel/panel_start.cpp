// Starting the new panel application and activating it after the restart.
#include "link/channel/connection.h"
#include "link/panel/panel_commands.h"
#include "link/panel/panel_update.h"
#include "linkpad/linkpad.h"

namespace quorlink::panel {

namespace {

constexpr int kRestartSteps = 10;  // progress 0, 10, ... 90, one second apart

}  // namespace

int startPanelApplication(Channel& channel) {
    channel.waitMs(500);
    switch (sendPanelCommand(channel, "PRC2,2,S00010000")) {
        case Verdict::Timeout:
            channel.reportMessage(kPortTimeout, 0);
            return -1;
        case Verdict::Refused:
            channel.reportMessage("Error starting DV33-Applikation!", 0);
            return -1;
        case Verdict::Accepted:
            break;
    }
    channel.waitSeconds(1);
    if (sendPanelCommand(channel, "PRC2,5") == Verdict::Timeout) {
        channel.reportMessage(kPortTimeout, 0);
        return -1;
    }
    channel.sendCommand("DCL\r\n");
    channel.reportStatus("Starting application...", 2);
    for (int step = 0; step < kRestartSteps; ++step) {
        channel.reportProgress(step * 100 / kRestartSteps);
        channel.waitSeconds(1);
    }
    return 0;
}

int establishPanel(Channel& channel) {
    const char wake[] = {0x12, '\r', '\n'};
    QTX_WritePortCount(wake, sizeof wake);
    if (reopenInterpreter() != 0) {
        channel.reportMessage("Error reset system, maybe timeout.", 0);
        return -1;
    }
    channel.waitSeconds(2);
    switch (sendPanelCommand(channel, "PRC2,4")) {
        case Verdict::Timeout:
            channel.reportMessage(kPortTimeout, 0);
            return -1;
        case Verdict::Refused:
            channel.reportMessage("Error activating DV33-Applikation!", 0);
            return -1;
        case Verdict::Accepted:
            break;
    }
    channel.waitSeconds(1);
    channel.reportMessage("DV Firmware-Update complete!", 1);
    return 0;
}

}  // namespace quorlink::panel
