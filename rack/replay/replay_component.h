#pragma once
// Plays a recorded session back as the rack: every command line gets the answer recorded for it,
// after the recorded delay (or none). The first command that is not the recorded one is kept as
// the difference; from there on the rack stays silent, as a rack that lost track would.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rack/core/component.h"
#include "rack/core/rack.h"
#include "rack/replay/recording.h"

namespace rack::replay {

struct ReplayOptions {
    bool keepDelays = true;
    std::function<void(const std::string&)> report;  // told of the first difference when it happens
};

class ReplayComponent final : public Component {
public:
    ReplayComponent(std::vector<RecordedExchange> recording, ReplayOptions options);

    std::string name() const override { return "replay"; }
    std::optional<Reply> handle(std::string_view line, Rack& rack) override;

    // "command 12 (log line 40): recorded "X", received "Y""; empty while all matched.
    const std::string& firstDifference() const { return difference_; }
    size_t played() const { return next_; }
    size_t recorded() const { return recording_.size(); }

private:
    void differ(const std::string& text);

    std::vector<RecordedExchange> recording_;
    ReplayOptions options_;
    size_t next_ = 0;
    std::string difference_;
};

// A rack that answers only from the recording in `logPath`; throws std::runtime_error when the
// log cannot be read or holds no command.
std::unique_ptr<Rack> replayRack(const std::string& logPath, ReplayOptions options, ReplayComponent*& replay);

}  // namespace rack::replay
