// Opening, closing and re-establishing the connection; the message buffer exports.
#include "link/channel/connection.h"

#include <gtest/gtest.h>

#include "link/channel/channel.h"
#include "link/quorlink.h"
#include "link_fixture.h"
#include "linkpad/linkpad.h"

using namespace testing_support;

namespace {

using ConnectionTest = LinkTest;

// Open restores the caller's time-out; close sends DCL and pauses around the interface reset.
TEST_F(ConnectionTest, OpenWakesTheInterpreterRestoresTheTimeoutAndCloseSendsDcl) {
    auto peer = std::make_shared<ScriptedPeer>();
    scriptOpen(*peer);
    attach(peer);
    EXPECT_EQ(open(4321), 0);
    EXPECT_TRUE(peer->done());
    EXPECT_TRUE(peer->unexpected().empty());
    EXPECT_EQ(QTX_GetCurrTimeout(), 4321);
    EXPECT_TRUE(reports.messages.empty());
    scriptClose(*peer);
    clock.clearWaits();
    EXPECT_EQ(CloseConnection(), 0);
    EXPECT_EQ(clock.waits(), (std::vector<int>{5, 500, 500}));
    EXPECT_TRUE(peer->done());
}

// A port that cannot be opened reports and returns the library's code; a parallel port has no
// transport here. A silent interpreter gives -2, an unanswered SRB1 "Port Timeout!" after 11000
// ms, and an invalid device address is refused; each closes the port again.
TEST_F(ConnectionTest, FailedOpensReportAndCloseThePortAgain) {
    {
        linkpad::ScopedTransportFactory refuse([](const linkpad::PortRequest&) {
            return linkpad::OpenResult{nullptr, QTX_ERR_PERMISSION, "Permission denied"};
        });
        EXPECT_EQ(open(), QTX_ERR_PERMISSION);
        ASSERT_EQ(reports.messages.size(), 1u);
        EXPECT_EQ(reports.messages[0], std::make_pair(0, std::string("Can't open selected port!")));

        EXPECT_LT(OpenConnection(90, 95, "e", 8, 1, 6000, recordMessage, -1, 0), 0);
        EXPECT_EQ(messageTexts(), Texts(2, "Can't open selected port!"));
    }
    reports.clear();
    auto peer = std::make_shared<ScriptedPeer>();
    peer->expectActivate(false);
    scriptClose(*peer);
    peer->expectActivate().expect("SRB1\r\n");
    scriptClose(*peer);
    scriptClose(*peer);
    attach(peer);
    EXPECT_EQ(open(6000), -2);
    EXPECT_EQ(QTX_GetCurrTimeout(), 6000);
    const auto start = clock.nowMs();
    EXPECT_EQ(open(6000), -1);
    EXPECT_GE(clock.nowMs() - start, 11000);
    EXPECT_LT(OpenConnection(10, 9600, "e", 8, 1, 6000, recordMessage, 77, 0), 0);
    EXPECT_EQ(messageTexts(), (Texts{"Can't open Ventrix interpreter!", "Port Timeout!",
                                     "Can't open selected port!"}));
    EXPECT_TRUE(peer->done());
}

// The second attempt of a reopen comes 11000 ms after a failed first; "Port Timeout!" only when
// the second SRB1 is unanswered too.
TEST_F(ConnectionTest, ReopenTriesTwice) {
    auto peer = std::make_shared<ScriptedPeer>();
    scriptOpen(*peer);
    // First reopen: the interpreter stays silent at the first attempt, answers at the second.
    scriptClose(*peer);
    peer->expectActivate(false);
    scriptClose(*peer);
    peer->expectActivate().line("SRB1\r\n", "0");
    // Second reopen: SRB1 goes unanswered twice.
    for (int attempt = 0; attempt < 2; ++attempt) {
        scriptClose(*peer);
        peer->expectActivate().expect("SRB1\r\n");
    }
    attach(peer);
    ASSERT_EQ(open(2500), 0);
    clock.clearWaits();
    EXPECT_EQ(quorlink::reopenInterpreter(), 0);
    const auto waits = clock.waits();
    EXPECT_NE(std::find(waits.begin(), waits.end(), 11000), waits.end());
    EXPECT_TRUE(reports.messages.empty());
    quorlink::channel().setMessageCallback(recordMessage);  // as the export that restarts would
    EXPECT_NE(quorlink::reopenInterpreter(), 0);
    EXPECT_EQ(messageTexts(), Texts{"Port Timeout!"});
    EXPECT_EQ(QTX_GetCurrTimeout(), 2500);
    EXPECT_TRUE(peer->done());
}

TEST(MessageBuffer, ReceiveThenSendReturnsTheTextCutTo511Characters) {
    ReceiveString("abc");
    char out[600] = {};
    EXPECT_EQ(SendString(out), 3);
    EXPECT_STREQ(out, "abc");
    ReceiveString(std::string(700, 'q').c_str());
    EXPECT_EQ(SendString(out), 511);
    EXPECT_EQ(std::string(out), std::string(511, 'q'));
}

}  // namespace
