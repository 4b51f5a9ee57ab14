#pragma once
// One NodePod command through the rack and its answer line, and the small text helpers every
// NodePod step shares.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "link/channel/channel.h"

namespace quorlink::nodepod {

constexpr int kShortAnswer = 40;
constexpr int kLongAnswer = 100;
constexpr int kTimedOut = -1;

// Sends `command` + CR LF and reads one answer line of at most `maximum` characters.
// A time-out reports "Port Timeout!" and gives nullopt.
std::optional<std::string> exchange(Channel& channel, std::string_view command, int maximum);

inline bool isAccepted(std::string_view answer) { return answer.starts_with('0'); }
inline bool isRefused(std::string_view answer) { return answer.starts_with('?'); }

// "PCH25" with {2, 0, 99} gives "PCH25,2,0,99": the mnemonic, then each decimal parameter
// after a comma.
std::string command(std::string_view mnemonic, std::initializer_list<int64_t> parameters);

// The answer's leading decimal number (optional sign); 0 when it does not start with one.
int64_t leadingNumber(std::string_view answer);

}  // namespace quorlink::nodepod
