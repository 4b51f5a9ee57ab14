#pragma once
// A rack whose answers come from the fuzzer: the connection opens normally, then every command
// line gets the next fuzzed answer (and a line end unless the answer is raw bytes); when the
// input runs out the rack falls silent. Runs on a virtual clock, so time-outs cost nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <deque>
#include <memory>
#include <string>

#include "link/quorlink.h"
#include "linkpad/hooks.h"

namespace fuzz {

class FuzzedRack final : public linkpad::Peer {
  public:
    explicit FuzzedRack(FuzzedDataProvider& input) : input_(input) {}

    void fromHost(std::string_view bytes, linkpad::Clock::time_point now) override {
        for (const char c : bytes) {
            if (c != '\n') continue;
            ++lines_;
            if (lines_ <= kOpeningLines) {
                out_.push_back({now, "0\r\n", false});
            } else if (input_.remaining_bytes() > 0) {
                std::string answer = input_.ConsumeRandomLengthString(300);
                if (!input_.ConsumeBool()) answer += "\r\n";
                const auto delay = std::chrono::milliseconds(input_.ConsumeIntegralInRange(0, 8000));
                out_.push_back({now + delay, std::move(answer), input_.ConsumeIntegralInRange(0, 63) == 0});
            }
        }
    }
    std::optional<linkpad::PeerChunk> peekToHost() override {
        if (out_.empty()) return std::nullopt;
        return out_.front();
    }
    void popToHost() override { out_.pop_front(); }

  private:
    static constexpr int kOpeningLines = 2;  // the wake-up query and "SRB1"
    FuzzedDataProvider& input_;
    std::deque<linkpad::PeerChunk> out_;
    int lines_ = 0;
};

inline void quiet(int32_t) {}

// Opens the connection to a fuzzed rack on a virtual clock, runs `body`, closes again.
template <typename Body>
void againstFuzzedRack(const uint8_t* data, size_t size, Body&& body) {
    FuzzedDataProvider input(data, size);
    linkpad::VirtualClock clock;
    linkpad::ScopedClock scopedClock(clock);
    auto rack = std::make_shared<FuzzedRack>(input);
    linkpad::ScopedTransportFactory factory(linkpad::peerFactory(rack));
    if (OpenConnection(100, 1, "127.0.0.1:5025", 0, 0, 2000, quiet, -1, 0) != 0) return;
    body(input);
    CloseConnection();
}

}  // namespace fuzz
