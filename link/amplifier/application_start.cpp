#include "link/amplifier/application_start.h"

#include "link/amplifier/loader_talk.h"
#include "link/amplifier/rack_reset.h"

namespace quorlink::amplifier {

namespace {

int sendStart(const StartRequest& r) {
    Channel& ch = channel();
    if (r.firmwareType == 1) {
        ch.waitMs(500);
        ch.waitMs(500);
        ch.waitMs(100);
        return ask(textf("PRC1,2,X%04X\r\n", r.startAddress)) ? 0 : -1;
    }
    int result = 0;
    forEachChannel(r.channelMask, [&](int c) {
        if (result == 0 && !ask(textf("PRC1,2,X%02X%08X\r\n", c + 1, r.startAddress))) result = -1;
    });
    return result;
}

// Panel back into the bus: interface setting, panel start, panel activation. Refusals only warn.
int enablePanel(int finishingMode) {
    Channel& ch = channel();
    const auto setting = ask("bdr19200,0,1,3\r\n");
    if (!setting) return -2;
    if (!setting->starts_with("0")) ch.reportMessage("Error on enable DVxx 1!", 0);
    auto started = ask("prc2,2,S00010000\r\n");
    if (!started) return -2;
    if (!started->starts_with("0")) {
        started = ask("prc2,2,S00010000\r\n");
        if (!started) return -2;
        if (!started->starts_with("0") && finishingMode != 2)
            ch.reportMessage(
                "Can't enable DV! Try to ignore this warning.\nIf you don't use an DV or if you use "
                "an DV13 ignore this warning.",
                0);
    }
    const auto active = ask("prc2,5\r\n");
    if (!active) return -2;
    if (!active->starts_with("0")) ch.reportMessage("Error on enable DVxx 3!", 0);
    return 0;
}

}  // namespace

int startApplication(const StartRequest& r) {
    Channel& ch = channel();
    if (sendStart(r) != 0) return -1;
    if (r.finishingMode == 1 || r.finishingMode == 2) {
        if (const int result = enablePanel(r.finishingMode); result != 0) return result;
    }
    ch.waitMs(8000);
    if (r.finishingMode != 5) {
        const bool back = resetRack(r.resetSeconds, [&](int step, int steps) {
            ch.reportProgress(step * 100 / steps);
        });
        if (!back) return -1;
    }
    if (r.finishingMode != 0) return 0;
    const auto checked = ask("PRC1,5\r\n");
    if (!checked) return -1;
    if (*checked == "0") return 0;
    ch.reportMessage("Error on performing channel-check!", 0);
    return -1;
}

int establishApplication(int firmwareType, int loaderChannel, int moduleCode, uint32_t mask) {
    Channel& ch = channel();
    if (!ask("PRC1,1\r\n", kLineAnswer, kTimeoutSelectedPort)) return -2;
    if (firmwareType == 1) {
        ch.waitMs(300);
        const auto answer = ask(textf("PRC1,2,Z%02X%02X\r\n", moduleCode, loaderChannel + 1));
        if (!answer) return -1;
        if (!answer->starts_with("0")) ch.reportMessage("Error on activating new RA-Application!", 0);
        return 0;
    }
    int result = 0;
    forEachChannel(mask, [&](int c) {
        if (result != 0) return;
        const auto answer = ask(textf("PRC1,2,Z%02X%02X\r\n", moduleCode, c + 1));
        if (!answer) {
            result = -1;
            return;
        }
        // A bare line end is no confirmation: its first byte would have been the line feed.
        const int first = answer->empty() ? '\n' : static_cast<uint8_t>((*answer)[0]);
        if (first != 0) {
            ch.reportMessage(textf("Error establishing RA-channel %02i, \nError %02X", c + 1, first), 0);
            result = -1;
        }
    });
    return result;
}

}  // namespace quorlink::amplifier
