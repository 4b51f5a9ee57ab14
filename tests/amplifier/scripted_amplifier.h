#pragma once
// Unit-test fixture: the amplifier exports against an exact command/answer script.
#include <memory>

#include "link_fixture.h"
#include "scripted_peer.h"

namespace testing_support {

class ScriptedAmplifierTest : public ScriptedLinkTest {
protected:
    // The protocol pauses, without the 5 ms before each command.
    std::vector<int> pauses() const {
        std::vector<int> result;
        for (int w : clock.waits())
            if (w != 5) result.push_back(w);
        return result;
    }
};

}  // namespace testing_support
