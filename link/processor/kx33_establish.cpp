// Restarts the KX33's operating system after an update and waits until its interpreter answers.
#include "link/channel/channel.h"
#include "link/channel/connection.h"
#include "link/processor/kx33.h"
#include "link/processor/processor_common.h"
#include "linkpad/linkpad.h"

namespace quorlink::processor {

int establishKx33(int32_t restartWait) {
    Channel& ch = channel();
    QTX_FlushInQueue();
    QTX_FlushOutQueue();
    ch.reportStatus("Restart OS...", 5);
    ch.sendCommand("PRC9,1\r\n");
    ch.reportProgress(0);
    waitSteps(restartWait * 10);
    QTX_FlushInQueue();
    sendRestartTrigger();
    if (reopenInterpreter() != 0) {
        ch.reportMessage("Error reset system, maybe timeout!", 0);
        return -1;
    }
    return 0;
}

}  // namespace quorlink::processor
