#include "link/amplifier/component_type.h"

#include <cstdlib>

#include "link/amplifier/loader_talk.h"
#include "linkpad/linkpad.h"

namespace quorlink::amplifier {

namespace {

constexpr int kComponentSubChannelAnswer = 1090;
constexpr int kLoaderTwoToOne = 66560;

std::string orNotDetected(const std::string& answer) {
    return answer.starts_with("?") ? "not detected" : answer;
}

bool usable(const std::string& answer) { return !answer.starts_with("?") && answer.size() >= 3; }

int identifyProcessor(ComponentReport& r) {
    const auto identity = ask("IDN?\r\n", kLineAnswer, kTimeoutSelectedPortNoOther);
    if (!identity) return -2;
    r.identity = orNotDetected(*identity);
    const auto revision = ask("HWR?\r\n", kLineAnswer, "Error reading hardware revision of KX!");
    if (!revision) return -3;
    r.hardwareRevision = usable(*revision) ? *revision : "?";
    static constexpr std::pair<const char*, const char*> kRevisions[] = {
        {"PRC?311\r\n", "Error reading kernel revision number!"},
        {"PRC?312\r\n", "Error reading filesystem revision number!"},
        {"PRC?313\r\n", "Error reading lilo and bios revision number!"}};
    r.hasProcessorRevisions = true;
    for (size_t i = 0; i < 3; ++i) {
        const auto answer = ask(kRevisions[i].first, kLineAnswer, kRevisions[i].second);
        if (!answer) return -4;
        r.processorRevisions += usable(*answer) ? *answer : "\"?\"";
        if (i < 2) r.processorRevisions += "#";
        channel().waitMs(20);
        QTX_FlushInQueue();
    }
    return 0;
}

int identifyPanel(ComponentReport& r) {
    const auto identity = ask("DID?\r\n", kLineAnswer, kTimeoutSelectedPortNoOther);
    if (!identity) return -2;
    r.identity = orNotDetected(*identity);
    return 0;
}

int subChannelCount(const std::string& answer) {
    if (answer.starts_with("?")) return 1;
    const auto comma = answer.rfind(',');
    std::string field = comma == std::string::npos ? answer : answer.substr(comma + 1);
    field = field.substr(0, field.find('\n'));
    return std::atoi(field.c_str());
}

// The application's answers; `inLoader` is set when the module does not identify itself.
int askApplication(ComponentReport& r, bool& inLoader) {
    const auto sub = ask("SPS?0\r\n", kComponentSubChannelAnswer);
    if (!sub) return -2;
    r.subChannelCount = subChannelCount(*sub);
    if (!ask("SPS1\r\n")) return -2;
    const auto identity = ask("AID?\r\n");
    if (!identity) return -2;
    r.identity = *identity;
    inLoader = r.identity.starts_with("?");
    if (!inLoader) {
        const auto comment = ask("UCC?\r\n");
        if (!comment) return -2;
        inLoader = comment->starts_with("?") || comment->starts_with("1");
    }
    r.hardwareRevision = "?";
    if (!inLoader) {
        const auto revision = ask("REV?0\r\n", kLineAnswer, "Error reading hardware revision of amplifier");
        if (!revision) return -3;
        if (!revision->starts_with("?")) r.hardwareRevision = *revision;
    }
    return 0;
}

// Loader 1's identification string: model after its first "-", mode from its last four digits.
int readLoader1Identity(ComponentReport& r, const std::string& prefix, int address) {
    const auto id = readIdentification(prefix, address, kLoader1IdentLimit, false);
    if (!id) return -2;
    r.identity = id->text;
    const auto dash = r.identity.find('-');
    if (dash == std::string::npos) {
        r.model = " ";
        r.amplifierMode = 0;
        return 0;
    }
    const auto rest = r.identity.substr(dash + 1);
    r.model = rest.substr(0, rest.find(','));
    r.amplifierMode = std::atoi(r.identity.substr(r.identity.size() >= 4 ? r.identity.size() - 4 : 0).c_str());
    return 0;
}

int loaderFallback(ComponentReport& r, const std::string& prefix, int address) {
    auto answer = ask(textf("%sI%02X\r\n", prefix.c_str(), address), kLineAnswer, {});
    if (!answer) return 0;
    const bool wasInLoader2 = answer->starts_with("2");
    if (wasInLoader2) {
        if (!ask(textf("%sX%02X%08X\r\n", prefix.c_str(), address, kLoaderTwoToOne))) return -2;
        answer = ask(textf("%sI%02X\r\n", prefix.c_str(), address));
        if (!answer) return -2;
        if (!answer->starts_with("1"))
            channel().reportMessage("Amplifier is in Bootloader 2, try to switch to loader 1 failed!", 0);
    }
    if (answer->starts_with("1") || answer->starts_with("2")) r.loaderFlag = 1;
    if (answer->starts_with("1")) {
        if (const int result = readLoader1Identity(r, prefix, address); result != 0) return result;
    }
    if (wasInLoader2 && !ask("PRC1,5\r\n")) return -2;
    return 0;
}

int identifySlot(const ComponentQuery& q, ComponentReport& r) {
    r.hasModel = true;
    r.model = " ";
    const auto selected = ask(textf("CHS%u\r\n", 1u << (q.position & 31)));
    if (!selected) return -2;
    bool inLoader = false;
    if (selected->starts_with("0")) {
        if (const int result = askApplication(r, inLoader); result != 0) return result;
    }
    if (selected->starts_with("0") && r.identity.size() > 8 && !inLoader) {
        r.model = modelFromIdentity(r.identity);
        const auto mode = ask("AMT?\r\n");
        if (!mode) return -2;
        r.amplifierMode = mode->starts_with("?") ? 0 : std::atoi(mode->c_str());
        return 0;
    }
    r.identity = "not detected";
    r.amplifierMode = 0;
    if (q.loaderGroup != 0 && q.loaderGroup != 1) return 0;
    return loaderFallback(r, q.loaderGroup == 1 ? "PRC1,6," : "PRC1,2,", q.position + 1);
}

}  // namespace

std::string modelFromIdentity(const std::string& identity) {
    auto start = identity.find('-');
    if (start == std::string::npos) start = identity.find(',');
    if (start == std::string::npos) return " ";
    const auto rest = identity.substr(start + 1);
    const auto comma = rest.find(',');
    std::string model = rest.substr(0, comma);
    if ((model == "RA77" || model == "RC77") && comma != std::string::npos) {
        const auto next = rest.substr(comma + 1);
        if (next.substr(0, next.find(',')) == "S6") model += "S6";
    }
    return model;
}

int identifyComponent(const ComponentQuery& q, ComponentReport& r) {
    if (q.panelControl == 1) {
        const auto answer = ask("PRC1,1\r\n", kLineAnswer, kTimeoutSelectedPortNoOther);
        if (!answer) return -2;
        if (!answer->starts_with("0")) {
            channel().reportMessage("Error on disable DVxx!", 0);
            return -20;
        }
        channel().waitMs(100);
    }
    int result = 0;
    if (q.position == kProcessorPosition) result = identifyProcessor(r);
    else if (q.position == kPanelPosition) result = identifyPanel(r);
    else result = identifySlot(q, r);
    if (result != 0) return result;
    if (q.panelControl == 2) {
        const auto answer = ask("PRC1,4\r\n");
        if (!answer) return -2;
        if (!answer->starts_with("0")) channel().reportMessage("Error on enable DVxx!", 0);
    }
    return 0;
}

}  // namespace quorlink::amplifier
