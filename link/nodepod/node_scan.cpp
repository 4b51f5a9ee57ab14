#include "link/nodepod/node_scan.h"

#include "link/nodepod/node_command.h"

namespace quorlink::nodepod {

namespace {

// One query of the scan; false after a time-out (already reported).
bool ask(Channel& channel, std::string_view mnemonic, int32_t nodeId, int maximum,
         std::string& answer) {
    auto reply = exchange(channel, command(mnemonic, {nodeId}), maximum);
    if (!reply) return false;
    answer = std::move(*reply);
    return true;
}

int readApplicationTexts(Channel& channel, int32_t nodeId, NodeIdentity& identity) {
    std::string answer;
    if (!ask(channel, "PCH?2", nodeId, kLongAnswer, answer)) return kTimedOut;
    if (isRefused(answer)) {
        channel.reportMessage("Error reading NODEPOD name!", 0);
        return -3;
    }
    identity.name = answer;
    if (!ask(channel, "PCH?3", nodeId, kLongAnswer, answer)) return kTimedOut;
    if (isRefused(answer)) {
        channel.reportMessage("Error reading NODEPOD firmware version!", 0);
        return -4;
    }
    identity.firmwareVersion = answer;
    return 0;
}

// A node running loader 2 is sent to loader 1's entry and given a second to start it.
int leaveLoader2(Channel& channel, int32_t nodeId, NodeIdentity& identity) {
    std::string answer;
    if (!ask(channel, "PCH?21", nodeId, kShortAnswer, answer)) return kTimedOut;
    if (isRefused(answer)) return 0;
    identity.state = kLoader2Stuck;
    auto reply = exchange(channel, command("PCH24", {nodeId, kLoader1Entry}), kLongAnswer);
    if (!reply) return kTimedOut;
    if (isRefused(*reply)) {
        channel.reportMessage("Error switching NODEPOD from Loader2 to Loader1!", 0);
        return -5;
    }
    channel.waitSeconds(1);
    return 0;
}

int readLoader1(Channel& channel, int32_t nodeId, NodeIdentity& identity) {
    std::string answer;
    if (!ask(channel, "PCH?11", nodeId, kShortAnswer, answer)) return kTimedOut;
    if (isRefused(answer)) {
        if (identity.state != kLoader2Stuck) return 0;
        channel.reportMessage("Error2 switching NODEPOD from Loader2 to Loader1!", 0);
        return -6;
    }
    identity.state = kLoader1;
    identity.typeNumber = static_cast<int32_t>(leadingNumber(answer));
    if (!ask(channel, "PCH?6", nodeId, kLongAnswer, answer)) return kTimedOut;
    if (isRefused(answer))
        channel.reportMessage("Warning: Can't read loader1 version!", 0);
    else
        identity.loader1Version = answer;
    return 0;
}

int readCommonTexts(Channel& channel, int32_t nodeId, NodeIdentity& identity) {
    std::string answer;
    if (!ask(channel, "PCH?4", nodeId, kLongAnswer, answer)) return kTimedOut;
    if (isRefused(answer))
        channel.reportMessage("Warning: Can't read hardware revision!", 0);
    else
        identity.hardwareRevision = answer;
    if (!ask(channel, "PCH?5", nodeId, kLongAnswer, answer)) return kTimedOut;
    if (isRefused(answer))
        channel.reportMessage("Warning: Can't read serial number!", 0);
    else
        identity.serialNumber = static_cast<int32_t>(leadingNumber(answer));
    return 0;
}

}  // namespace

int scanNode(Channel& channel, int32_t nodeId, NodeIdentity& identity) {
    identity = NodeIdentity{};
    std::string answer;
    if (!ask(channel, "PCH?1", nodeId, kShortAnswer, answer)) return kTimedOut;
    if (!isRefused(answer)) {
        identity.state = kApplication;
        identity.typeNumber = static_cast<int32_t>(leadingNumber(answer));
        if (const int result = readApplicationTexts(channel, nodeId, identity)) return result;
    } else {
        if (const int result = leaveLoader2(channel, nodeId, identity)) return result;
        if (const int result = readLoader1(channel, nodeId, identity)) return result;
        if (identity.state == kNoNode) return 0;
    }
    return readCommonTexts(channel, nodeId, identity);
}

}  // namespace quorlink::nodepod
