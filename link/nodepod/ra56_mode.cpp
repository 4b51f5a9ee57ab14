#include "link/nodepod/ra56_mode.h"

#include <string>
#include <vector>

#include "link/nodepod/node_command.h"

namespace quorlink::nodepod {

namespace {

constexpr int kMaxPolls = 1000;
constexpr int kPollPauseMs = 30;
constexpr char kDownloadModeError[] = "Error switching RA56 to download mode!";
constexpr char kNormalModeError[] = "Error switching RA56 to normal mode!";

struct Stage {
    int stage = 0;
    int percent = 0;
};

Stage parseStage(const std::string& answer) {
    std::vector<std::string> fields(1);
    for (const char c : answer) {
        if (c == ',' || c == '\t' || c == '\n')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    Stage s;
    s.stage = static_cast<int>(leadingNumber(fields[0]));
    if (fields.size() > 1) s.percent = static_cast<int>(leadingNumber(fields[1]));
    return s;
}

// Polls "SCH?" until the stage is 0 (at most 1000 times); the switch has six stages in all and
// `stageOffset` places these three among them. Returns false after a time-out.
bool pollStages(Channel& channel, int stageOffset, int doneProgress) {
    auto answer = exchange(channel, "SCH?", kLongAnswer);
    if (!answer) return false;
    Stage s = parseStage(*answer);
    for (int polls = 1; s.stage != 0 && polls < kMaxPolls; ++polls) {
        channel.reportProgress(
            static_cast<int>(((s.stage + stageOffset) + s.percent * 0.01) * 100 / 6));
        channel.waitMs(kPollPauseMs);
        answer = exchange(channel, "SCH?", kLongAnswer);
        if (!answer) return false;
        s = parseStage(*answer);
    }
    if (s.stage == 0) channel.reportProgress(doneProgress);
    return true;
}

int backToNormalMode(Channel& channel) {
    auto answer = exchange(channel, "PCH1,0", kLongAnswer);
    if (!answer) return kTimedOut;
    if (isAccepted(*answer)) return 0;
    channel.reportMessage(kNormalModeError, 0);
    return -5;
}

// The RA56 refused a step of the switch: either it really cannot switch (then it goes back to
// normal mode) or it is still initialising its parameters.
int explainRefusal(Channel& channel, bool afterFinishStep) {
    auto channelState = exchange(channel, "ACH?0", kLongAnswer);
    if (!channelState) return kTimedOut;
    auto stage = exchange(channel, "SCH?", kLongAnswer);
    if (!stage) return kTimedOut;
    if (!channelState->starts_with("-1") || !stage->starts_with('0')) {
        channel.reportMessage("RA56 is in parameter init mode! Please wait a moment and try again!",
                              0);
        return -3333;
    }
    channel.reportMessage(kDownloadModeError, 0);
    auto normal = exchange(channel, "PCH1,0", kLongAnswer);
    if (!normal) return kTimedOut;
    if (!afterFinishStep || isAccepted(*normal)) return -3;
    channel.reportMessage(kNormalModeError, 0);
    return -5;
}

int intoDownloadMode(Channel& channel) {
    if (!exchange(channel, "PAR10001", kLongAnswer)) return kTimedOut;
    auto answer = exchange(channel, "PCH1,1", kLongAnswer);
    if (!answer) return kTimedOut;
    if (!isAccepted(*answer)) return explainRefusal(channel, false);
    channel.reportStatus("Wait for RA56...", 1);
    if (!pollStages(channel, -1, 50)) return kTimedOut;
    answer = exchange(channel, "PCH1,3", kLongAnswer);
    if (!answer) return kTimedOut;
    if (!isAccepted(*answer)) return explainRefusal(channel, true);
    if (!pollStages(channel, 2, 100)) return kTimedOut;
    answer = exchange(channel, "PCH1,2", kLongAnswer);
    if (!answer) return kTimedOut;
    if (isAccepted(*answer)) return 0;
    channel.reportMessage(kDownloadModeError, 0);
    return -5;
}

}  // namespace

int setRa56Mode(Channel& channel, int32_t channelNumber, int32_t mode) {
    auto answer = exchange(channel, "PCS" + std::to_string(channelNumber), kShortAnswer);
    if (!answer) return kTimedOut;
    if (isRefused(*answer)) {
        channel.reportMessage("Amplifier RA56 not selectable!", 0);
        return -2;
    }
    if (mode == kBackToNormalMode) return backToNormalMode(channel);
    if (mode != kIntoDownloadMode) return 0;
    return intoDownloadMode(channel);
}

}  // namespace quorlink::nodepod
