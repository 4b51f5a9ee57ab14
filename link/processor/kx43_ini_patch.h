#pragma once
// Writes the connection in use into the first block of the processor's initialisation file, so
// the new firmware comes up reachable on the same port.
#include <cstdint>
#include <string>

#include "link/channel/channel.h"

namespace quorlink::processor {

constexpr const char* kInitialisationFile = "kx43ini.cnf";

// Codes the processor uses for a baud rate (any rate it does not know is 9600, code 5).
uint8_t baudRateCode(int32_t baudRate);
// "n" none = 0, "o" odd = 1, anything else even = 2.
uint8_t parityCode(const std::string& parity);

// Patches the bytes of `block` that exist; other port kinds leave it unchanged.
void patchInitialisationBlock(std::string& block, const ConnectionState& connection);

}  // namespace quorlink::processor
