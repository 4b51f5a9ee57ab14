// Starts the KX43's new firmware after the file-system update, writes the kept settings back and
// makes the new application the one the processor runs.
#include <string>

#include "link/channel/channel.h"
#include "link/channel/connection.h"
#include "link/processor/kx43.h"
#include "link/processor/kx43_settings.h"
#include "link/processor/kx43_settings_file.h"
#include "link/processor/processor_common.h"
#include "linkpad/linkpad.h"

namespace quorlink::processor {

namespace {

constexpr int kActivateMs = 500;

bool report(const char* text) {
    channel().reportMessage(text, 0);
    return false;
}

int fail(const char* text) {
    channel().reportMessage(text, 0);
    return -1;
}

bool restartAndReopen(const char* status, int steps) {
    channel().reportStatus(status, 5);
    waitSteps(steps);
    flushQueues();
    QTX_ActivateInterpreter(kActivateMs);
    return reopenInterpreter() == 0 || report("Error reset system, maybe timeout.");
}

bool uncompressApplication(int32_t variant, int steps) {
    Channel& ch = channel();
    ch.sendCommand("PRC9,5\n");
    if (variant == 5) {
        // The newer generation does not answer while it unpacks.
        ch.reportStatus("Uncompressing Application...", 5);
        waitSteps(steps * 2 / 5);
        return true;
    }
    std::string answer;
    if (ch.readAnswer(answer, kKx43AnswerLimit) != 0) return report("Port Timeout!");
    return answer.starts_with("0") ||
           report("Communication-Error trying to uncompress/run new KX-Application");
}

bool startAndRestore(int32_t restartWait, int32_t variant) {
    Channel& ch = channel();
    const int steps = restartSteps(restartWait, variant);
    sendRestartTrigger();
    if (reopenInterpreter() != 0) return report("Error reset system, maybe timeout.");
    std::string answer;
    if (ch.query("PRC?9\n", answer, kKx43AnswerLimit) != 0) return report("Port Timeout!");
    if (!answer.starts_with("1")) return report("KX is not in BootLoader1 mode!");
    if (variant != 5) {
        ch.sendCommand("PRC9,6\n");
        if (!restartAndReopen("Restart OS...", steps)) return false;
    }
    if (!uncompressApplication(variant, steps)) return false;
    if (!restartAndReopen("Starting KX Application...", steps)) return false;
    if (!restoreSettings(settingsSetOf(variant), variant)) return false;
    ch.reportStatus("Establish KX Application...", 5);
    return true;
}

}  // namespace

int establishKx43(int32_t restartWait, int32_t variant) {
    Channel& ch = channel();
    if (!startAndRestore(restartWait, variant)) return -5;
    ch.waitMs(1000);
    flushQueues();
    std::string answer;
    if (ch.query("PRC?9\n", answer, kKx43AnswerLimit) != 0) return fail("Port Timeout!");
    if (!answer.starts_with("?"))
        return fail(
            "Error! New application is not running! KX is in bootloader mode now, try download "
            "again, maybe with default port settings!");
    if (ch.query("PRC9,0\n", answer, kKx43AnswerLimit) != 0) return fail("Port Timeout!");
    if (!answer.starts_with("0")) return fail("Communication-Error activating KX43 application!");
    waitSteps(restartSteps(restartWait, variant));
    QTX_FlushInQueue();
    sendRestartTrigger();
    if (reopenInterpreter() != 0) return fail("Error reset system, maybe timeout.");
    if (!storeFile().empty()) markRestored(storeFile());
    return 0;
}

}  // namespace quorlink::processor
