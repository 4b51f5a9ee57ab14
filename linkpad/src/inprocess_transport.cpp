// The in-process transport: bytes go straight to a Peer object; its answers become readable at
// the time the peer stamped on them, on the shared clock.
#include "linkpad/hooks.h"
#include "linkpad/linkpad.h"

namespace linkpad {

namespace {

class InProcessTransport final : public Transport {
public:
    explicit InProcessTransport(std::shared_ptr<Peer> peer) : peer_(std::move(peer)) {}

    int write(std::string_view bytes) override {
        if (closed_) return QTX_ERR_IO;
        peer_->fromHost(bytes, clock().now());
        return 0;
    }

    ReceiveStatus receive(std::string& out, Clock::time_point deadline) override {
        if (closed_) return ReceiveStatus::Closed;
        auto chunk = peer_->peekToHost();
        if (!chunk || chunk->readyAt > deadline) {
            clock().sleepUntil(deadline);
            return ReceiveStatus::Timeout;
        }
        clock().sleepUntil(chunk->readyAt);
        peer_->popToHost();
        if (chunk->hangUp) {
            closed_ = true;
            return ReceiveStatus::Closed;
        }
        out += chunk->bytes;
        return ReceiveStatus::Data;
    }

    void discardInput() override {
        const auto now = clock().now();
        while (auto chunk = peer_->peekToHost()) {
            if (chunk->readyAt > now) break;
            peer_->popToHost();
            if (chunk->hangUp) closed_ = true;
        }
    }

    int setBreak(bool on) override {
        peer_->breakCondition(on, clock().now());
        return 0;
    }

    std::string describe() const override { return "in-process peer"; }

private:
    std::shared_ptr<Peer> peer_;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<Transport> makeInProcessTransport(std::shared_ptr<Peer> peer) {
    return std::make_unique<InProcessTransport>(std::move(peer));
}

TransportFactory peerFactory(std::shared_ptr<Peer> peer) {
    return [peer](const PortRequest&) {
        return OpenResult{makeInProcessTransport(peer), 0, {}};
    };
}

}  // namespace linkpad
