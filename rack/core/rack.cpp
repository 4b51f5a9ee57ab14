#include "rack/core/rack.h"

namespace rack {

namespace {
constexpr size_t kLongestLine = 8192;  // longer input is noise; it is dropped, not stored
}

Component& Rack::add(std::unique_ptr<Component> component, Placement where) {
    Component& added = *component;
    switch (where.role) {
        case Role::Processor:
            processor_ = &added;
            break;
        case Role::Panel:
            panel_ = &added;
            break;
        case Role::Slot:
            if (where.slot >= 0 && where.slot < kSlots) slots_[where.slot] = &added;
            break;
    }
    components_.push_back(std::move(component));
    added.attached(*this);
    return added;
}

void Rack::fromHost(std::string_view bytes, Clock::time_point now) {
    if (now > now_) now_ = now;
    if (now_ < silentUntil_) return;  // resetting: the input is lost
    if (capture_) {
        capture_->rawBytes(bytes, *this);
        return;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        takeByte(bytes[i]);
        if (capture_) {  // a command switched the line to raw bytes
            if (i + 1 < bytes.size()) capture_->rawBytes(bytes.substr(i + 1), *this);
            return;
        }
    }
}

void Rack::takeByte(char c) {
    if (c == kDC2) {
        awake_ = true;
        line_.clear();
        return;
    }
    if (!awake_) return;
    if (c != '\n') {
        if (line_.size() < kLongestLine) line_ += c;
        return;
    }
    std::string line;
    line.swap(line_);
    lineEndedWithCrLf_ = !line.empty() && line.back() == '\r';
    if (lineEndedWithCrLf_) line.pop_back();
    if (!line.empty()) dispatch(line);
}

bool Rack::framedFor(const Component& component, const std::string& line) const {
    switch (component.framing(line)) {
        case Framing::CrLf:
            return lineEndedWithCrLf_;
        case Framing::LfAlone:
            return !lineEndedWithCrLf_;
        case Framing::Either:
            return true;
    }
    return true;
}

Reply Rack::answer(const std::string& line, Component*& owner) {
    for (auto& component : components_) {
        if (!framedFor(*component, line)) continue;
        if (auto reply = component->handle(line, *this)) {
            owner = component.get();
            return *reply;
        }
    }
    owner = nullptr;
    return Reply::refused();
}

void Rack::dispatch(const std::string& line) {
    received_.push_back(line);
    const auto fault = faults_.check(line);
    Component* owner = nullptr;
    Reply reply = answer(line, owner);
    if (fault) {
        switch (fault->action) {
            case FaultAction::Drop:
                return;
            case FaultAction::Garble:
                if (!reply.bytes.empty()) reply.bytes[0] = static_cast<char>(reply.bytes[0] ^ 0x5A);
                break;
            case FaultAction::Delay:
                reply.delayMs += fault->delayMs;
                break;
            case FaultAction::Question:
                reply = Reply::refused();
                break;
            case FaultAction::Close:
                hangUp();
                return;
            case FaultAction::PowerOff:
                if (owner) owner->setPowered(false);
                return;
        }
    }
    if (!reply.silent) send(std::move(reply.bytes), reply.delayMs);
}

void Rack::send(std::string bytes, int delayMs) {
    const auto start = std::max(now_, busyUntil_);
    busyUntil_ = start + std::chrono::milliseconds(delayMs);
    if (!bytes.empty()) out_.push_back({busyUntil_, std::move(bytes), false});
}

void Rack::hangUp() { out_.push_back({std::max(now_, busyUntil_), {}, true}); }

void Rack::reset() {
    line_.clear();
    capture_ = nullptr;
    awake_ = false;
    selectedChannels_ = 0;
    silentUntil_ = std::max(now_, busyUntil_) + std::chrono::milliseconds(timing_.resetMs);
    for (auto& component : components_) {
        component->setPowered(true);
        component->rackReset(*this);
    }
}

std::optional<linkpad::PeerChunk> Rack::peekToHost() {
    if (out_.empty()) return std::nullopt;
    return out_.front();
}

void Rack::popToHost() {
    if (!out_.empty()) out_.pop_front();
}

void Rack::breakCondition(bool on, Clock::time_point now) {
    if (now > now_) now_ = now;
    for (auto& component : components_) component->breakCondition(on, *this);
}

void Rack::hostDisconnected() {
    line_.clear();
    out_.clear();
    capture_ = nullptr;
}

}  // namespace rack
