#pragma once
// Starting the programmed application, bringing the rack back, and establishing the new
// application on each channel.
#include <cstdint>

namespace quorlink::amplifier {

struct StartRequest {
    int firmwareType = 0;
    uint32_t channelMask = 0;
    int startAddress = 0;
    int resetSeconds = 0;
    int finishingMode = 0;  // 0 reset and channel check, 1/2 panel back in and reset, 5 no reset
};

// 0, -1 time-out, reset not confirmed or channel check refused, -2 time-out re-enabling the panel.
int startApplication(const StartRequest& request);
// 0, -1 time-out or establish error, -2 time-out on "PRC1,1".
int establishApplication(int firmwareType, int channel, int moduleCode, uint32_t channelMask);

}  // namespace quorlink::amplifier
