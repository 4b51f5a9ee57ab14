#pragma once
// Fixture for NodePod unit tests: an open connection to a scripted port and a scratch directory
// for firmware files.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "link_fixture.h"
#include "scripted_peer.h"
#include "temp_dir.h"

namespace nodepod_tests {

// A directory under the temporary directory, removed with everything in it.
using ScratchDirectory = testing_support::TempDir;

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

class ScriptedNodePodTest : public testing_support::ScriptedLinkTest {
  protected:
    // Command line with CR LF.
    static std::string cmd(const std::string& text) { return text + "\r\n"; }
    void play(const Script& script) {
        for (const auto& [command, answer] : script) peer->line(cmd(command), answer);
    }

    ScratchDirectory scratch;
};

}  // namespace nodepod_tests
