#pragma once
// Unit-test fixture: the amplifier exports against an exact command/answer script.
#include <memory>

#include "link_fixture.h"
#include "scripted_peer.h"

namespace testing_support {

class ScriptedAmplifierTest : public LinkTest {
protected:
    void SetUp() override {
        peer = std::make_shared<ScriptedPeer>();
        scriptOpen(*peer);
        attach(peer);
        ASSERT_EQ(open(), 0);
        clock.clearWaits();
    }
    void TearDown() override {
        EXPECT_TRUE(peer->unexpected().empty()) << peer->unexpected().front();
        EXPECT_TRUE(peer->done()) << peer->remaining() << " steps not reached";
    }
    // The protocol pauses, without the 5 ms before each command.
    std::vector<int> pauses() const {
        std::vector<int> result;
        for (int w : clock.waits())
            if (w != 5) result.push_back(w);
        return result;
    }
    std::shared_ptr<ScriptedPeer> peer;
};

}  // namespace testing_support
