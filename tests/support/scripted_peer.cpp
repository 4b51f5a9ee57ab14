#include "scripted_peer.h"

namespace testing_support {

ScriptedPeer& ScriptedPeer::expect(std::string command, std::string answer, int delayMs) {
    steps_.push_back({std::move(command), std::move(answer), delayMs});
    return *this;
}

ScriptedPeer& ScriptedPeer::expectActivate(bool answers) {
    return expect("\x12IDN?\r\n", answers ? "QTX,KX43,0,P1.41\r\n" : "");
}

ScriptedPeer& ScriptedPeer::line(std::string command, std::string answerLine, int delayMs) {
    return expect(std::move(command), answerLine + "\r\n", delayMs);
}

// Writes may arrive in pieces (512-byte chunks); a step matches once its bytes are complete.
void ScriptedPeer::fromHost(std::string_view bytes, linkpad::Clock::time_point now) {
    writes_.emplace_back(bytes);
    input_ += bytes;
    while (!input_.empty()) {
        if (steps_.empty()) {
            unexpected_.push_back(input_);
            input_.clear();
            return;
        }
        const Step& step = steps_.front();
        if (input_.size() < step.command.size()) {
            if (step.command.compare(0, input_.size(), input_) == 0) return;  // wait for more
        } else if (input_.compare(0, step.command.size(), step.command) == 0) {
            input_.erase(0, step.command.size());
            const auto ready = now + std::chrono::milliseconds(step.delayMs);
            if (!step.answer.empty()) out_.push_back({ready, step.answer, false});
            steps_.pop_front();
            continue;
        }
        unexpected_.push_back(input_);
        input_.clear();
    }
}

std::optional<linkpad::PeerChunk> ScriptedPeer::peekToHost() {
    if (out_.empty()) return std::nullopt;
    return out_.front();
}

void ScriptedPeer::popToHost() { out_.pop_front(); }

}  // namespace testing_support
