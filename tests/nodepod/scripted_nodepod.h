#pragma once
// Fixture for NodePod unit tests: an open connection to a scripted port and a scratch directory
// for firmware files; the download sequence of the NodePod window for the tests against the rack.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "link_fixture.h"
#include "scripted_peer.h"
#include "temp_dir.h"
#include "tools/fwgen/nodepod_set.h"

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

// Head `id` into loader 2: loader 1 activated (after a reset by `resetMode` unless `inLoader`),
// loader 2 sent and started at `address`.
int intoLoader2(int id, bool inLoader, int resetMode, const std::string& loader2, int address);
// The whole download of the NodePod window: test start without the restart vector, then the
// restart vector written last and the application started for good.
int updateHead(const fwgen::NodePodFiles& files, int id, bool inLoader, int hardwareCode);

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
