// Switching a channel between its application, loader 1 and loader 2, and rebuilding loader 1.
#include "link/amplifier/loader_switching.h"

#include "link/amplifier/loader_talk.h"
#include "linkpad/linkpad.h"

namespace quorlink::amplifier {

namespace {

constexpr size_t kLoader2IdentLimit = 120;
constexpr int kSubChannelSwitchAnswer = 40;

bool isCurrentSeries(int type) { return type >= 2 && type <= 4; }

int switchPanelOutFirst() {
    if (!ask("PRC2,1\r\n")) return -2;
    channel().waitMs(1000);
    return switchPanelOut(kTimeoutSelectedPort) ? 0 : -2;
}

// "SPS0", "TDD1,1", "TID0,\"\"", "TDD2,1", "SPS1": the sub-channel settings back to defaults.
int resetSubChannels() {
    const auto all = ask("SPS0\r\n", kSubChannelSwitchAnswer);
    if (!all) return -2;
    for (const char* command : {"TDD1,1\r\n", "TID0,\"\"\r\n", "TDD2,1\r\n"})
        if (!ask(command)) return -2;
    const auto first = ask("SPS1\r\n", kSubChannelSwitchAnswer);
    if (!first) return -2;
    if (all->starts_with("?") || first->starts_with("?"))
        channel().reportMessage("Amplifier subchannel not selectable! Continue.", 0);
    return 0;
}

int enterLoader1(const Loader1Request& r) {
    const auto selected = ask(textf("CHS%u\r\n", 1u << r.channel));
    if (!selected) return -2;
    if (selected->starts_with("?")) return -111;
    if (r.subChannelReset == 1) {
        if (const int result = resetSubChannels(); result != 0) return result;
    }
    if (!ask("CAN1\r\n")) return -2;
    const auto entered = ask("PRG9,1,\"SYSTEM\"\r\n");
    if (!entered) return -2;
    if (!entered->starts_with("0")) {
        channel().reportMessage("Error switching to RA-LoaderI !", 0);
        return -2;
    }
    channel().waitMs(250);
    return 0;
}

int activateLoader1(const Loader1Request& r, std::string& identification) {
    const int address = r.channel + 1;
    if (r.readIdentification) {
        const auto answer = ask(textf("PRC1,2,I%02X\r\n", address));
        if (!answer) return -2;
        if (!answer->starts_with("1")) {
            channel().reportMessage("Error getting identstring of Loader 1", 0);
        } else {
            const auto id = readIdentification("PRC1,2,", address, kLoader1IdentLimit, false);
            if (!id) return -2;
            identification = id->text;
        }
    }
    const int code = r.activationCode & 0xFF;
    const auto answer =
        ask(textf("PRC1,2,A%02X%02X%02X\r\n", address, code, r.marker & 0xFF));
    if (!answer) return -2;
    if (code != 0 && !answer->starts_with("0")) {
        channel().reportMessage("Error activating RA-LoaderI !", 0);
        return -2;
    }
    if (code == 0 && !answer->starts_with("F")) {
        channel().reportMessage("Error deactivating RA-LoaderI !", 0);
        return -2;
    }
    return 0;
}

}  // namespace

int switchToLoader1(const Loader1Request& r, std::string& identification) {
    if (r.panelSwitchOut == 1) {
        if (const int result = switchPanelOutFirst(); result != 0) return result;
    }
    if (!r.alreadyInLoader1) {
        if (const int result = enterLoader1(r); result != 0) return result;
    }
    if (isCurrentSeries(r.componentType)) {
        if (const int result = activateLoader1(r, identification); result != 0) return result;
    }
    channel().waitMs(100);
    return 0;
}

int switchToLoader2(int loaderChannel, int componentType, bool readId, std::string& identification) {
    if (!switchPanelOut(kTimeoutSelectedPort)) return -2;
    if (!isCurrentSeries(componentType)) return 0;
    const int address = loaderChannel + 1;
    const std::string timeoutText = textf("Port Timeout channel %02i !", address);
    const auto started = ask(textf("PRC1,2,S%02X89\r\n", address), kLineAnswer, timeoutText);
    if (!started) return -1;
    if (!started->starts_with("0"))
        channel().reportMessage(textf("Error starting LoaderII channel %02i !", address), 0);
    channel().waitMs(20);
    if (!readId) return 0;
    const auto answer = ask(textf("PRC1,2,I%02X\r\n", address), kLineAnswer, timeoutText);
    if (!answer) return -1;
    if (!answer->starts_with("2")) {
        channel().reportMessage(textf("Error identificating LoaderII channel %02i !", address), 0);
        return -1;
    }
    auto id = readIdentification("PRC1,2,", address, kLoader2IdentLimit, true);
    if (!id) return -2;
    if (!id->endedOnZero && !id->text.empty()) id->text.pop_back();
    identification = id->text;
    return 0;
}

int resetLoader1(int loaderAddress, int secondByte) {
    Channel& ch = channel();
    ch.reportProgress(10);
    const auto disabled = ask("PRC1,1\r\n", 70, kTimeoutSelectedPortNoOther);
    if (!disabled) return -2;
    if (!disabled->starts_with("0")) {
        ch.reportMessage("Error on disable DVxx!", 0);
        return -20;
    }
    ch.waitMs(100);
    ch.reportProgress(40);
    ask(textf("PRC1,6,A%02X%02X55\r\n", loaderAddress & 0xFF, secondByte & 0xFF), 40, {});
    ch.reportProgress(60);
    ch.waitMs(1000);
    ch.reportProgress(80);
    QTX_FlushInQueue();
    QTX_FlushOutQueue();
    ch.reportProgress(90);
    ask("PRC1,6,DFA000000\r\n", 40, {});
    ch.waitMs(500);
    ch.reportProgress(100);
    ask(textf("PRC1,6,S%02X89\r\n", loaderAddress & 0xFF), 40, {});
    ch.waitMs(500);
    const auto enabled = ask("PRC1,4\r\n", 70);
    if (!enabled) return -2;
    if (!enabled->starts_with("0")) ch.reportMessage("Error on enable DVxx!", 0);
    return 0;
}

}  // namespace quorlink::amplifier
