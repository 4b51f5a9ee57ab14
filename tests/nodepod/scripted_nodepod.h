#pragma once
// Fixture for NodePod unit tests: an open connection to a scripted port, the protocol waits
// (without the 5 ms command pauses) and a scratch directory for firmware files.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link_fixture.h"
#include "scripted_peer.h"

namespace nodepod_tests {

// A directory under the temporary directory, removed with everything in it.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Upper-case hex of `count` bytes, as the packet lines carry them.
std::string hexOf(const uint8_t* bytes, size_t count);

// Everything NodePod_NodeIDScan reports about one node ID.
struct NodeScan {
    int result = 0;
    int32_t state = -1, type = -1, serial = -1, nameLength = -1;
    std::string name, firmware, loader1, hardware;
};
NodeScan scanNode(int nodeId);

// Command lines (without CR LF) and the answer line each gets.
using Script = std::vector<std::pair<std::string, std::string>>;

class ScriptedNodePodTest : public testing_support::LinkTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Command line with CR LF.
    static std::string cmd(const std::string& text) { return text + "\r\n"; }
    // The waits after opening, without the 5 ms pause before every command.
    std::vector<int> protocolWaits() const;
    // The texts of the messages reported so far.
    std::vector<std::string> messageTexts() const;
    void play(const Script& script) {
        for (const auto& [command, answer] : script) peer->line(cmd(command), answer);
    }

    std::shared_ptr<testing_support::ScriptedPeer> peer;
    ScratchDirectory scratch;
};

}  // namespace nodepod_tests
