#include "link_fixture.h"

#include "link/quorlink.h"

namespace testing_support {

Reports& Reports::current() {
    static Reports reports;
    return reports;
}

void Reports::clear() {
    messages.clear();
    progress.clear();
    statuses.clear();
}

namespace {
std::string fetchText() {
    char buffer[600] = {};
    SendString(buffer);
    return buffer;
}
}  // namespace

void recordMessage(int32_t kind) { Reports::current().messages.emplace_back(kind, fetchText()); }
void recordProgress(int32_t percent) { Reports::current().progress.push_back(percent); }
void recordStatus(int32_t code) { Reports::current().statuses.emplace_back(code, fetchText()); }

LinkTest::LinkTest() { reports.clear(); }
LinkTest::~LinkTest() = default;

void LinkTest::attach(std::shared_ptr<linkpad::Peer> peer) {
    factory_.reset();
    factory_ = std::make_unique<linkpad::ScopedTransportFactory>(linkpad::peerFactory(std::move(peer)));
}

void LinkTest::scriptOpen(ScriptedPeer& peer) {
    peer.expectActivate().line("SRB1\r\n", "0");
}

void LinkTest::scriptClose(ScriptedPeer& peer) { peer.expect("DCL\r\n"); }

int LinkTest::open(int timeoutMs) {
    return OpenConnection(100, 1, "127.0.0.1:5025", 0, 0, timeoutMs, recordMessage, -1, 0);
}

std::vector<std::string> LinkTest::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& [kind, text] : reports.messages) texts.push_back(text);
    return texts;
}

std::string LinkTest::lastMessage() const {
    return reports.messages.empty() ? "" : reports.messages.back().second;
}

std::vector<int> LinkTest::protocolWaits() const {
    std::vector<int> waits;
    for (const int ms : clock.waits())
        if (ms != 5) waits.push_back(ms);
    return waits;
}

void ScriptedLinkTest::SetUp() {
    scriptOpen(*peer);
    attach(peer);
    ASSERT_EQ(open(), 0);
    clock.clearWaits();
}

void ScriptedLinkTest::TearDown() {
    EXPECT_TRUE(peer->unexpected().empty()) << peer->unexpected().front();
    EXPECT_TRUE(peer->done()) << peer->remaining() << " steps not reached";
}

}  // namespace testing_support
