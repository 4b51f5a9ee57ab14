#include "link/panel/panel_commands.h"

namespace quorlink::panel {

Verdict sendPanelLine(Channel& channel, const std::string& line, std::string& answer,
                      bool rawBytes) {
    if (channel.query(line, answer, rawBytes ? 2 : 100) != 0) return Verdict::Timeout;
    return answer.starts_with("0") ? Verdict::Accepted : Verdict::Refused;
}

Verdict sendPanelCommand(Channel& channel, std::string_view command, std::string& answer,
                         bool rawBytes) {
    return sendPanelLine(channel, std::string(command) + "\r\n", answer, rawBytes);
}

Verdict sendPanelCommand(Channel& channel, std::string_view command, bool rawBytes) {
    std::string answer;
    return sendPanelCommand(channel, command, answer, rawBytes);
}

}  // namespace quorlink::panel
