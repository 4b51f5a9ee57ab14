#pragma once
// An RA56 amplifier module with the NodePod heads on its CAN bus. It is an amplifier module like
// the others (channel selection, identity, loaders); once selected ("PCS") it switches into its
// download mode in two staged steps ("PCH1,1", "PCH1,3", polled with "SCH?", confirmed with
// "PCH1,2") and then relays the node commands to the head with the command's node ID. After a
// reset it initialises its parameters for a while and refuses the switch.
#include <map>
#include <memory>
#include <string>

#include "rack/amplifier/amplifier_module.h"
#include "rack/core/rack.h"
#include "rack/nodepod/simulated_node.h"

namespace rack::nodepod {

enum class Ra56State { Normal, Preparing, Finishing, Download };

struct Ra56Timing {
    int parameterInitMs = 0;  // after a reset: refuses the download mode
    int stageMs = 300;        // each of the three stages of both switching steps
};

class Ra56Module final : public amplifier::AmplifierModule {
  public:
    Ra56Module(amplifier::ModuleConfig config, int slot, Ra56Timing timing);

    std::optional<Reply> handle(std::string_view line, Rack& rack) override;
    void rackReset(Rack& rack) override;

    SimulatedNode& addNode(std::unique_ptr<SimulatedNode> node);
    SimulatedNode* node(int id) const;
    Ra56State state() const { return state_; }
    bool initialisingParameters(Clock::time_point now) const { return now < parametersReadyAt_; }
    // Refuses "PCH1,1" although it is idle (as a module with a fault on its bus would).
    void setRefuseDownloadMode(bool refuse) { refuseDownloadMode_ = refuse; }

  private:
    Reply canCommand(std::string_view line, Rack& rack);
    Reply modeCommand(std::string_view argument, Rack& rack);
    Reply stageAnswer(Rack& rack);
    Reply relay(std::string_view line, Rack& rack);
    bool selected(const Rack& rack) const;
    bool stagesDone(Clock::time_point now) const;

    Ra56Timing timing_;
    Ra56State state_ = Ra56State::Normal;
    Clock::time_point stepStartedAt_{};
    Clock::time_point parametersReadyAt_{};
    bool refuseDownloadMode_ = false;
    std::map<int, std::unique_ptr<SimulatedNode>> nodes_;
};

}  // namespace rack::nodepod
