#include "scripted_nodepod.h"

#include <cstdlib>

namespace nodepod_tests {

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "nodepod-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void ScriptedNodePodTest::SetUp() {
    peer = std::make_shared<testing_support::ScriptedPeer>();
    scriptOpen(*peer);
    attach(peer);
    ASSERT_EQ(open(), 0);
    clock.clearWaits();
}

void ScriptedNodePodTest::TearDown() {
    EXPECT_TRUE(peer->unexpected().empty()) << "unexpected: " << peer->unexpected().front();
    EXPECT_TRUE(peer->done()) << peer->remaining() << " steps not reached";
}

std::vector<int> ScriptedNodePodTest::protocolWaits() const {
    std::vector<int> waits;
    for (const int ms : clock.waits())
        if (ms != 5) waits.push_back(ms);
    return waits;
}

}  // namespace nodepod_tests
