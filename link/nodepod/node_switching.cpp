#include "link/nodepod/node_switching.h"

#include "link/images/temp_images.h"
#include "link/nodepod/node_command.h"

namespace quorlink::nodepod {

int switchToLoader1(Channel& channel, int32_t nodeId, bool inLoader, int32_t loader2Address,
                    int32_t resetMode) {
    DeleteTempImages();
    if (!inLoader || resetMode == 1) {
        auto reset = exchange(channel, command("PCH2", {nodeId}), kLongAnswer);
        if (!reset) return kTimedOut;
        if (resetMode == 1 && !isAccepted(*reset)) {
            channel.reportMessage("Error switching to bootloader 1!", 0);
            return -2;
        }
    }
    channel.waitSeconds(2);
    auto activate = exchange(channel, command("PCH11", {nodeId, loader2Address}), kLongAnswer);
    if (!activate) return kTimedOut;
    if (!isAccepted(*activate)) {
        channel.reportMessage("Error activating bootloader 1!", 0);
        return -2;
    }
    return 0;
}

int switchToLoader2(Channel& channel, int32_t nodeId, int32_t loader2Address) {
    auto answer = exchange(channel, command("PCH12", {nodeId, loader2Address}), kLongAnswer);
    if (!answer) return kTimedOut;
    if (!isAccepted(*answer)) {
        channel.reportMessage("Error starting loader 2!", 0);
        return -2;
    }
    channel.waitMs(500);
    channel.waitMs(500);
    return 0;
}

int startApplication(Channel& channel, int32_t nodeId, int32_t applicationAddress) {
    auto start = exchange(channel, command("PCH24", {nodeId, applicationAddress}), kLongAnswer);
    if (!start) return kTimedOut;
    if (!isAccepted(*start)) {
        channel.reportMessage("Can't start application firmware!", 0);
        return -2;
    }
    channel.waitSeconds(3);
    auto alive = exchange(channel, command("PCH?1", {nodeId}), kLongAnswer);
    if (!alive) return kTimedOut;
    if (isRefused(*alive)) {
        channel.reportMessage("Error starting new application firmware, no communication!", 0);
        return -3;
    }
    return 0;
}

}  // namespace quorlink::nodepod
