#pragma once
// The simulated rack as the host sees it: a byte stream in, timed answers out. It assembles
// command lines, wakes on DC2, goes silent while it resets, applies fault rules, and hands each
// line to its components.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "linkpad/clock.h"
#include "linkpad/peer.h"
#include "rack/core/component.h"
#include "rack/core/faults.h"

namespace rack {

using linkpad::Clock;

enum class Role { Processor, Panel, Slot };

struct Placement {
    Role role;
    int slot = -1;  // 0-15 for Role::Slot
};

struct RackTiming {
    int resetMs = 20000;  // silent time after "RST" before DC2 wakes the interpreter again
};

// How queries that every selected module answers come back: racks differ. `Usual` joins "MCF?"
// answers with ":" on one line and sends "SPS?0" answers one line per module.
enum class ModuleAnswers { Usual, Joined, Lines };

class Rack final : public linkpad::Peer {
  public:
    static constexpr int kSlots = 16;
    static constexpr char kDC2 = 0x12;

    Rack() = default;

    // -- building
    Component& add(std::unique_ptr<Component> component, Placement where);
    RackTiming& timing() { return timing_; }
    FaultInjector& faults() { return faults_; }
    ModuleAnswers moduleAnswers() const { return moduleAnswers_; }
    void setModuleAnswers(ModuleAnswers form) { moduleAnswers_ = form; }

    // -- linkpad::Peer
    void fromHost(std::string_view bytes, Clock::time_point now) override;
    std::optional<linkpad::PeerChunk> peekToHost() override;
    void popToHost() override;
    void breakCondition(bool on, Clock::time_point now) override;

    // The host went away (TCP connection closed): drop half-received lines and queued answers.
    void hostDisconnected();
    // The host closed the serial line: what the rack sends meanwhile is lost, but the rack itself
    // does not notice, so half-received lines and a pass-through in progress carry on.
    void serialLineClosed() { out_.clear(); }

    // -- what components use
    Clock::time_point now() const { return now_; }
    // Queues bytes for the host after the rack's current work plus delayMs.
    void send(std::string bytes, int delayMs = 0);
    void sendLine(std::string_view text, int delayMs = 0) {
        send(std::string(text) + "\r\n", delayMs);
    }
    // The whole rack restarts: silent for the reset time, then asleep until DC2.
    void reset();
    // The interpreter stops listening until the next DC2 ("DCL").
    void sleepInterpreter() { awake_ = false; }
    // Route every following byte to `owner` (bootstrap loaders, pass-through) until released.
    void captureBytes(Component* owner) { capture_ = owner; }
    void releaseBytes() { capture_ = nullptr; }
    // The connection is cut after the queued answers.
    void hangUp();
    uint32_t selectedChannels() const { return selectedChannels_; }
    void selectChannels(uint32_t mask) { selectedChannels_ = mask; }

    // -- inspection (tests, other components)
    Component* processor() const { return processor_; }
    Component* panel() const { return panel_; }
    Component* slot(int n) const { return n >= 0 && n < kSlots ? slots_[n] : nullptr; }
    const std::vector<std::unique_ptr<Component>>& components() const { return components_; }
    bool awake() const { return awake_ && now_ >= silentUntil_; }
    // Every command line the rack received, in order.
    const std::vector<std::string>& received() const { return received_; }

  private:
    void takeByte(char c);
    void dispatch(const std::string& line);
    Reply answer(const std::string& line, Component*& owner);
    bool framedFor(const Component& component, const std::string& line) const;

    std::vector<std::unique_ptr<Component>> components_;
    std::array<Component*, kSlots> slots_{};
    Component* processor_ = nullptr;
    Component* panel_ = nullptr;
    Component* capture_ = nullptr;

    RackTiming timing_;
    ModuleAnswers moduleAnswers_ = ModuleAnswers::Usual;
    FaultInjector faults_;
    Clock::time_point now_{};
    Clock::time_point busyUntil_{};
    Clock::time_point silentUntil_{};
    bool awake_ = false;
    std::string line_;
    bool lineEndedWithCrLf_ = true;
    std::deque<linkpad::PeerChunk> out_;
    uint32_t selectedChannels_ = 0;
    std::vector<std::string> received_;
};

}  // namespace rack
