#include "link/amplifier/rack_reset.h"

#include "link/channel/channel.h"
#include "link/channel/connection.h"
#include "linkpad/linkpad.h"

namespace quorlink::amplifier {

bool resetRack(int seconds, const std::function<void(int, int)>& onStep) {
    Channel& ch = channel();
    ch.sendCommand("RST\r\n");
    const int steps = 5 * seconds;
    for (int step = 1; step <= steps; ++step) {
        ch.waitMs(200);
        onStep(step, steps);
    }
    QTX_FlushInQueue();
    const char wake[] = {0x12, '\r', '\n'};
    QTX_WritePortCount(wake, sizeof wake);
    if (reopenInterpreter() == 0) return true;
    ch.reportMessage("Error reset system, maybe timeout.", 0);
    return false;
}

}  // namespace quorlink::amplifier
