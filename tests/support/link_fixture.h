#pragma once
// Test fixture: the virtual clock and a peer (scripted port or simulated rack) behind linkpad.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "linkpad/hooks.h"
#include "scoped_env.h"
#include "scripted_peer.h"
#include "temp_dir.h"

namespace testing_support {

using Texts = std::vector<std::string>;

// Collects what the library reports through its callbacks.
struct Reports {
    std::vector<std::pair<int, std::string>> messages;  // kind, text
    std::vector<int> progress;
    std::vector<std::pair<int, std::string>> statuses;  // code, text

    static Reports& current();
    void clear();
};

// Callbacks that record into Reports::current(), fetching texts with SendString.
void recordMessage(int32_t kind);
void recordProgress(int32_t percent);
void recordStatus(int32_t code);

class LinkTest : public ::testing::Test {
protected:
    LinkTest();
    ~LinkTest() override;

    // Routes the next QTX_OpenPort to `peer`.
    void attach(std::shared_ptr<linkpad::Peer> peer);
    // Script of OpenConnection over TCP: wake-up and "SRB1".
    static void scriptOpen(ScriptedPeer& peer);
    // Script of CloseConnection: "DCL".
    static void scriptClose(ScriptedPeer& peer);
    // OpenConnection as the operator program calls it, over the given (virtual) TCP port.
    int open(int timeoutMs = 6000);
    // The texts of the messages reported so far, and of the last one ("" without any).
    std::vector<std::string> messageTexts() const;
    std::string lastMessage() const;
    // The waits so far without the 5 ms pause before every command.
    std::vector<int> protocolWaits() const;

    linkpad::VirtualClock clock;
    Reports& reports = Reports::current();

private:
    // Files the library keeps for the user (saved processor settings) go to a fresh directory.
    TempDir stateHome_;
    ScopedEnv stateEnv_{"XDG_STATE_HOME", stateHome_.path().string()};
    linkpad::ScopedClock scopedClock_{clock};
    std::unique_ptr<linkpad::ScopedTransportFactory> factory_;
};

// A connection opened over a scripted port; when the test ends the whole script must have been
// played and nothing unexpected written.
class ScriptedLinkTest : public LinkTest {
protected:
    void SetUp() override;
    void TearDown() override;

    std::shared_ptr<ScriptedPeer> peer = std::make_shared<ScriptedPeer>();
};

}  // namespace testing_support
