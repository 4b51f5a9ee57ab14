#pragma once
// Port-library tests: a fresh working directory (the traffic log lands there), the virtual clock,
// and a peer whose answers arrive in timed pieces.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "linkpad/hooks.h"
#include "linkpad/linkpad.h"
#include "temp_dir.h"

namespace port_testing {

// Answers are queued up front: bytes that become readable at a time, or a hang-up.
class ChunkPeer final : public linkpad::Peer {
public:
    ChunkPeer& at(int ms, std::string bytes) {
        out_.push_back({linkpad::fromMs(ms), std::move(bytes), false});
        return *this;
    }
    ChunkPeer& hangUpAt(int ms) {
        out_.push_back({linkpad::fromMs(ms), {}, true});
        return *this;
    }
    void fromHost(std::string_view bytes, linkpad::Clock::time_point) override { written += bytes; }
    std::optional<linkpad::PeerChunk> peekToHost() override {
        if (out_.empty()) return std::nullopt;
        return out_.front();
    }
    void popToHost() override { out_.pop_front(); }

    std::string written;

private:
    std::deque<linkpad::PeerChunk> out_;
};

class PortTest : public ::testing::Test {
protected:
    PortTest() { std::filesystem::current_path(dir_.path()); }
    ~PortTest() override {
        QTX_ClosePort();
        QTX_PauseComLog(1);
        QTX_DisableComLog();
        QTX_SetTimeout(3600);
        std::filesystem::current_path(previous_);
    }

    // Opens the in-process port to `peer` (TCP kind, as the loaders use it most).
    void openTo(std::shared_ptr<linkpad::Peer> peer) {
        factory_.reset();  // the earlier factory first, so that it does not restore its predecessor
        factory_ = std::make_unique<linkpad::ScopedTransportFactory>(linkpad::peerFactory(std::move(peer)));
        ASSERT_EQ(QTX_OpenPort(QTX_PORT_TCP, 0, "rack", 0, 0, 4096), 0);
    }

    struct Read {
        int32_t result;
        std::string text;
        int32_t count;
    };
    static Read read(int32_t maximum, int32_t terminator = 10) {
        std::string buffer(static_cast<size_t>(maximum) + 1, '\x7f');
        int32_t count = -1;
        int32_t status = -1;
        const int32_t result = QTX_ReadPort(buffer.data(), maximum, &count, &status, terminator);
        return {result, std::string(buffer.c_str(), static_cast<size_t>(count > 0 ? count : 0)), count};
    }

    static std::string trafficLog() { return testing_support::readFile("comlog.log"); }

    linkpad::VirtualClock clock;

private:
    linkpad::ScopedClock scopedClock_{clock};
    std::unique_ptr<linkpad::ScopedTransportFactory> factory_;
    std::filesystem::path previous_ = std::filesystem::current_path();
    testing_support::TempDir dir_;
};

}  // namespace port_testing
