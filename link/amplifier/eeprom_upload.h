#pragma once
#include <string>

namespace quorlink::amplifier {

// Copies the EEPROM of each connection board behind `channel` into "<prefix>_JB<board>.eep".
// 0, -1 time-out, -2 channel refused, -3 no board answers, -4 file cannot be created, -5 file
// cannot be written, -6 short answer.
int uploadEeprom(int channel, const std::string& prefix);

}  // namespace quorlink::amplifier
