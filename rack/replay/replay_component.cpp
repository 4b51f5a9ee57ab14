#include "rack/replay/replay_component.h"

#include <fstream>
#include <stdexcept>

namespace rack::replay {

namespace {

std::string shown(const std::string& line) {
    constexpr size_t kShown = 60;
    return line.size() > kShown ? line.substr(0, kShown) + "..." : line;
}

}  // namespace

ReplayComponent::ReplayComponent(std::vector<RecordedExchange> recording, ReplayOptions options)
    : recording_(std::move(recording)), options_(std::move(options)) {}

void ReplayComponent::differ(const std::string& text) {
    if (!difference_.empty()) return;
    difference_ = text;
    if (options_.report) options_.report(difference_);
}

std::optional<Reply> ReplayComponent::handle(std::string_view text, Rack&) {
    const std::string line(text);
    if (!difference_.empty()) return Reply::none();
    if (next_ >= recording_.size()) {
        differ("command " + std::to_string(next_ + 1) + ": \"" + shown(line) + "\" comes after the recording ended");
        return Reply::none();
    }
    const RecordedExchange& expected = recording_[next_];
    if (!expected.matches(line)) {
        differ("command " + std::to_string(next_ + 1) + " (log line " + std::to_string(expected.logLine) +
               "): recorded \"" + shown(expected.command) + "\", received \"" + shown(line) + "\"");
        return Reply::none();
    }
    ++next_;
    if (expected.answer.empty()) return Reply::none();
    return Reply::raw(expected.answer, options_.keepDelays ? expected.delayMs : 0);
}

std::unique_ptr<Rack> replayRack(const std::string& logPath, ReplayOptions options, ReplayComponent*& replay) {
    std::ifstream log(logPath, std::ios::binary);
    if (!log) throw std::runtime_error("cannot read the traffic log " + logPath);
    auto recording = readRecording(log);
    if (recording.empty()) throw std::runtime_error(logPath + " holds no command");
    auto rack = std::make_unique<Rack>();
    rack->timing().resetMs = 0;  // the recording holds the silence of a reset already
    replay = &dynamic_cast<ReplayComponent&>(
        rack->add(std::make_unique<ReplayComponent>(std::move(recording), std::move(options)), {Role::Processor, -1}));
    return rack;
}

}  // namespace rack::replay
