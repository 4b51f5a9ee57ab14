#include "rack/nodepod/ra56_module.h"

#include "rack/nodepod/node_command_line.h"

namespace rack::nodepod {

namespace {

constexpr int kStages = 3;

bool isCanCommand(std::string_view line) {
    return line == "PAR10001" || line == "SCH?" || line == "ACH?0" || line.starts_with("PCH");
}

}  // namespace

Ra56Module::Ra56Module(amplifier::ModuleConfig config, int slot, Ra56Timing timing)
    : AmplifierModule(std::move(config), slot),
      timing_(timing),
      parametersReadyAt_(Clock::time_point{} + std::chrono::milliseconds(timing.parameterInitMs)) {}

SimulatedNode& Ra56Module::addNode(std::unique_ptr<SimulatedNode> node) {
    SimulatedNode& added = *node;
    nodes_[node->identity().id] = std::move(node);
    return added;
}

SimulatedNode* Ra56Module::node(int id) const {
    const auto found = nodes_.find(id);
    return found == nodes_.end() ? nullptr : found->second.get();
}

bool Ra56Module::selected(const Rack& rack) const {
    return (rack.selectedChannels() >> slot()) & 1u;
}

void Ra56Module::rackReset(Rack& rack) {
    AmplifierModule::rackReset(rack);
    state_ = Ra56State::Normal;
    parametersReadyAt_ = rack.now() + std::chrono::milliseconds(timing_.parameterInitMs);
    for (auto& [id, node] : nodes_) node->powerOn();
}

std::optional<Reply> Ra56Module::handle(std::string_view line, Rack& rack) {
    if (selected(rack) && runsApplication() && isCanCommand(line))
        return powered() ? canCommand(line, rack) : Reply::none();
    return AmplifierModule::handle(line, rack);
}

// The commands of the CAN side; everything else is the amplifier's.
Reply Ra56Module::canCommand(std::string_view line, Rack& rack) {
    if (line == "PAR10001") return Reply::accepted();
    if (line == "SCH?") return stageAnswer(rack);
    if (line == "ACH?0") return Reply::line(initialisingParameters(rack.now()) ? "0" : "-1");
    if (line.starts_with("PCH1,")) return modeCommand(line.substr(5), rack);
    return relay(line, rack);
}

bool Ra56Module::stagesDone(Clock::time_point now) const {
    return now - stepStartedAt_ >= std::chrono::milliseconds(kStages * timing_.stageMs);
}

Reply Ra56Module::modeCommand(std::string_view argument, Rack& rack) {
    const auto now = rack.now();
    if (argument == "0") {
        state_ = Ra56State::Normal;
        return Reply::accepted();
    }
    if (argument == "1") {
        if (initialisingParameters(now) || refuseDownloadMode_ || state_ != Ra56State::Normal)
            return Reply::refused();
        state_ = Ra56State::Preparing;
        stepStartedAt_ = now;
        return Reply::accepted();
    }
    if (argument == "3") {
        if (state_ != Ra56State::Preparing || !stagesDone(now)) return Reply::refused();
        state_ = Ra56State::Finishing;
        stepStartedAt_ = now;
        return Reply::accepted();
    }
    if (argument == "2") {
        if (state_ != Ra56State::Finishing || !stagesDone(now)) return Reply::refused();
        state_ = Ra56State::Download;
        return Reply::accepted();
    }
    return Reply::refused();
}

// "stage,percent" while a switching step runs; "0,0" when idle or done.
Reply Ra56Module::stageAnswer(Rack& rack) {
    const auto now = rack.now();
    if (initialisingParameters(now)) return Reply::line("1,50");
    const bool stepping = state_ == Ra56State::Preparing || state_ == Ra56State::Finishing;
    if (!stepping || stagesDone(now)) return Reply::line("0,0");
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - stepStartedAt_).count();
    const auto stage = elapsed / timing_.stageMs + 1;
    const auto percent = elapsed % timing_.stageMs * 100 / timing_.stageMs;
    return Reply::line(std::to_string(stage) + "," + std::to_string(percent));
}

// Node commands reach the bus only in download mode; a head that does not answer leaves the
// RA56 answering "?".
Reply Ra56Module::relay(std::string_view line, Rack& rack) {
    const auto command = parseNodeCommand(line);
    if (state_ != Ra56State::Download || !command || command->numbers.empty())
        return Reply::refused();
    SimulatedNode* target = node(static_cast<int>(command->numbers.front()));
    if (!target) return Reply::refused();
    const auto answer = target->handle(*command, rack.now());
    if (!answer) return Reply::refused();
    return Reply::line(answer->text, answer->delayMs);
}

}  // namespace rack::nodepod
