#pragma once
// One panel command and the verdict on its answer.
#include <string>
#include <string_view>

#include "link/channel/channel.h"

namespace quorlink::panel {

enum class Verdict { Accepted, Refused, Timeout };

inline constexpr std::string_view kPortTimeout = "Port Timeout!";

// Sends a complete line (with its CR LF) and reads one answer line of up to 100 characters, or
// two raw bytes when rawBytes is set; an answer beginning with "0" is accepted.
Verdict sendPanelLine(Channel& channel, const std::string& line, std::string& answer,
                      bool rawBytes = false);

// As sendPanelLine, with CR LF appended to the command.
Verdict sendPanelCommand(Channel& channel, std::string_view command, std::string& answer,
                         bool rawBytes = false);
Verdict sendPanelCommand(Channel& channel, std::string_view command, bool rawBytes = false);

}  // namespace quorlink::panel
