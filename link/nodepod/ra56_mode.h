#pragma once
// Selecting an RA56 amplifier and switching it into or out of the download mode in which it
// relays NodePod commands onto its CAN bus.
#include <cstdint>

#include "link/channel/channel.h"

namespace quorlink::nodepod {

enum Ra56Mode : int32_t { kSelectOnly = 0, kIntoDownloadMode = 1, kBackToNormalMode = 2 };

// 0, -1 (time-out), -2 (not selectable), -3 (download mode refused), -5 (normal mode refused),
// -3333 (the RA56 is still initialising its parameters).
int setRa56Mode(Channel& channel, int32_t channelNumber, int32_t mode);

}  // namespace quorlink::nodepod
