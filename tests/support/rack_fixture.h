#pragma once
// Drives a simulated rack directly as the host would: bytes in at a time, answers out with the
// time they become readable.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "rack/core/rack_file.h"

namespace rack_testing {

struct Answer {
    std::string bytes;
    int64_t readyAtMs = 0;
    bool hangUp = false;
};

class RackTest : public ::testing::Test {
  protected:
    void build(const nlohmann::json& description) { rack_ = rack::buildRack(description); }
    rack::Rack& rack() { return *rack_; }

    void send(const std::string& bytes, int64_t atMs = 0) {
        rack_->fromHost(bytes, linkpad::fromMs(atMs));
    }
    std::optional<Answer> next() {
        auto chunk = rack_->peekToHost();
        if (!chunk) return std::nullopt;
        rack_->popToHost();
        return Answer{chunk->bytes, linkpad::toMs(chunk->readyAt), chunk->hangUp};
    }
    // The one answer to `command` (CR LF appended), or "<none>".
    std::string ask(const std::string& command, int64_t atMs = 0) {
        send(command + "\r\n", atMs);
        auto answer = next();
        return answer ? answer->bytes : "<none>";
    }
    // Every answer to `line` (`end` appended) readable within a minute of `clockMs`, joined; ""
    // without one.
    std::string answers(const std::string& line, const std::string& end = "\r\n") {
        send(line + end, clockMs);
        std::string joined;
        while (auto chunk = rack_->peekToHost()) {
            if (linkpad::toMs(chunk->readyAt) > clockMs + 60000) break;
            joined += chunk->bytes;
            rack_->popToHost();
        }
        return joined;
    }

    int64_t clockMs = 0;  // the host's time for `answers`

  private:
    std::unique_ptr<rack::Rack> rack_;
};

inline const nlohmann::json kPlainRack = {{"timing", {{"resetMs", 3000}}},
                                          {"processor",
                                           {{"kind", "KX43"},
                                            {"identity", "QTX,KX43,0,P1.41"},
                                            {"version", "P1.41"},
                                            {"hardwareRevision", "\"A01\""},
                                            {"baudSetting", "9600,2,1,0"}}}};

}  // namespace rack_testing
