#pragma once
// One NodePod head on the CAN bus: its fixed identity, the program it runs (application, loader 1,
// loader 2), its flash and RAM, and its answers to the node commands.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "linkpad/clock.h"
#include "rack/nodepod/node_command_line.h"
#include "rack/nodepod/node_flash.h"

namespace rack::nodepod {

enum class NodeProgram { Application, Loader1, Loader2, Crashed };

struct NodeIdentity {
    int id = 0;
    int typeNumber = 0;
    int serialNumber = 0;
    std::string hardwareRevision = "2";
};

// What the head sends back on the bus; nullopt = it stays silent.
struct NodeAnswer {
    std::string text;
    int delayMs = 0;
};

struct NodeTiming {
    int resetMs = 1500;       // "PCH2": back in loader 1
    int startLoaderMs = 800;  // "PCH12", and "PCH24" into loader 1
    int startApplicationMs = 2500;
    int eraseMsPer8K = 40;
};

class SimulatedNode {
  public:
    using time_point = linkpad::Clock::time_point;

    SimulatedNode(NodeIdentity identity, NodeFlash flash);

    const NodeIdentity& identity() const { return identity_; }
    NodeProgram program() const { return program_; }
    const NodeFlash& flash() const { return flash_; }
    NodeFlash& flash() { return flash_; }
    NodeTiming& timing() { return timing_; }

    // Starts what flash starts: the application when its restart vector is written, else loader 1.
    void powerOn();
    // Stays in loader 1 as after a reset request ("PCH2").
    void holdInLoader1();
    // Starts loader 2 from RAM as if it had been downloaded (to put a head in loader 2).
    void runLoader2(std::string version);

    std::optional<NodeAnswer> handle(const NodeCommandLine& command, time_point now);

  private:
    using Answer = std::optional<NodeAnswer>;
    Answer application(const NodeCommandLine& c);
    Answer loader1(const NodeCommandLine& c, time_point now);
    Answer loader2(const NodeCommandLine& c, time_point now);
    Answer common(const NodeCommandLine& c, time_point now);

    Answer receiveIntoRam(const NodeCommandLine& c);
    Answer startLoader2(const NodeCommandLine& c, time_point now);
    Answer jump(int64_t address, time_point now);
    Answer erase(const NodeCommandLine& c);
    Answer selectGroup(const NodeCommandLine& c);
    Answer receiveIntoGroup(const NodeCommandLine& c);
    Answer programGroup(const NodeCommandLine& c);
    Answer setChecksumWindow(const NodeCommandLine& c);
    Answer checksum() const;

    void restart(NodeProgram program, int ms, time_point now);
    bool applicationValid() const;
    bool loader1Valid() const;

    NodeIdentity identity_;
    NodeFlash flash_;
    NodeTiming timing_;
    NodeProgram program_ = NodeProgram::Loader1;
    time_point busyUntil_{};

    bool receiving_ = false;  // loader 1 was activated and takes loader 2 into RAM
    uint32_t ramBase_ = 0;
    std::vector<uint8_t> ram_;
    std::string loader2Version_;

    std::optional<uint32_t> groupAddress_;
    std::vector<uint8_t> group_;
    std::optional<std::pair<uint32_t, uint32_t>> checksumWindow_;
};

}  // namespace rack::nodepod
