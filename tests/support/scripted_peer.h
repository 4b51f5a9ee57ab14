#pragma once
// A port that plays a script: each step expects exact bytes from the host and answers with
// given bytes after a given delay. Unexpected writes are recorded as failures, not answered.
#include <deque>
#include <string>
#include <vector>

#include "linkpad/peer.h"

namespace testing_support {

class ScriptedPeer final : public linkpad::Peer {
public:
    // Expect `command` (exact bytes) and answer `answer` after delayMs; an empty answer = silence.
    ScriptedPeer& expect(std::string command, std::string answer = {}, int delayMs = 0);
    // The port library's wake-up ("DC2 IDN?") answered with a line.
    ScriptedPeer& expectActivate(bool answers = true);
    // Expect a command and answer it with a line (CR LF appended).
    ScriptedPeer& line(std::string command, std::string answerLine, int delayMs = 0);

    void fromHost(std::string_view bytes, linkpad::Clock::time_point now) override;
    std::optional<linkpad::PeerChunk> peekToHost() override;
    void popToHost() override;

    const std::vector<std::string>& writes() const { return writes_; }
    const std::vector<std::string>& unexpected() const { return unexpected_; }
    bool done() const { return steps_.empty(); }
    size_t remaining() const { return steps_.size(); }

private:
    struct Step {
        std::string command;
        std::string answer;
        int delayMs = 0;
    };
    std::deque<Step> steps_;
    std::string input_;
    std::deque<linkpad::PeerChunk> out_;
    std::vector<std::string> writes_;
    std::vector<std::string> unexpected_;
};

}  // namespace testing_support
