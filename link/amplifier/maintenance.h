#pragma once
// Settings of the selected amplifiers changed through their applications.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorlink::amplifier {

// 0; -1 mask refused; -2 time-out; -5 a module not selectable after the change; -6 not all changed.
int changeOperatingMode(uint32_t mask, int targetMode);
// 0; -1 mask refused or rack not back; -2 time-out; -6 not all changed.
int changeSubChannels(uint32_t mask, int count, int resetSeconds, int variant);
// 0; -1 mask refused; -2 time-out.
int clearChannelNames(uint32_t mask);
// 0; -1 time-out; -2 mask refused.
int deleteCanDatabase(uint32_t mask);

// The answers of every module selected by `mask` to `command`, one line per module or joined
// with ":" on one line, the lines kept apart by line feeds; nullopt after a time-out.
std::optional<std::string> moduleAnswers(const std::string& command, uint32_t mask, int maximum);
// The entries of an "MCF?" answer: one character at every even position while ":" or a line
// feed follows.
std::vector<char> modeEntries(const std::string& answer);
// The counts of an "SPS?0" answer: from the end, up to 16 entries split at line feeds or ":",
// each the number after its last comma.
std::vector<int> subChannelCounts(const std::string& answer);

}  // namespace quorlink::amplifier
