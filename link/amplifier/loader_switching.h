#pragma once
// Loader switching of one amplifier channel.
#include <cstdint>
#include <string>

namespace quorlink::amplifier {

struct Loader1Request {
    int channel = 0;
    int activationCode = 0;     // low byte: nonzero activates loader 1 with it, 0 deactivates
    bool alreadyInLoader1 = false;
    int componentType = 0;      // 2, 3, 4 run the loader part
    int subChannelReset = 0;    // 1 resets the sub-channel settings first
    bool readIdentification = false;
    int panelSwitchOut = 0;     // 1 switches the panel out first
    int marker = 0xFF;          // third byte of the activation command
};

// 0, -2 time-out or refusal, -111 the channel selection was refused.
int switchToLoader1(const Loader1Request& request, std::string& identification);
// 0, -1 loader 2 did not answer or identify, -2 time-out.
int switchToLoader2(int channel, int componentType, bool readIdentification,
                    std::string& identification);
// 0, -2 time-out, -20 the panel refused to be switched out.
int resetLoader1(int loaderAddress, int secondByte);

}  // namespace quorlink::amplifier
