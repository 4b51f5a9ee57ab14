// The wait notice on the virtual clock: which waits are told, how often, and how they end.
#include <utility>
#include <vector>

#include "port_fixture.h"

using namespace port_testing;

namespace {

using Call = std::pair<int32_t, int32_t>;  // whole wait, waited so far

struct Case {
    const char* name;
    int waitMs;      // > 0: a QTX_WaitMs of this length; else a read
    int timeoutMs;   // the read's time-out
    int answerAtMs;  // < 0: no answer
    Call first;      // {0, 0}: no notice at all
    Call last;
    int endsAtMs;
};

void LINKPAD_CALL record(int32_t totalMs, int32_t waitedMs, void* context) {
    static_cast<std::vector<Call>*>(context)->emplace_back(totalMs, waitedMs);
}

class WaitNoticeTest : public PortTest, public testing::WithParamInterface<Case> {
  protected:
    ~WaitNoticeTest() override { QTX_SetWaitNotice(nullptr, nullptr); }
    std::vector<Call> calls;
};

TEST_P(WaitNoticeTest, LongWaitsAreToldWhileTheyLast) {
    const Case& c = GetParam();
    auto peer = std::make_shared<ChunkPeer>();
    if (c.answerAtMs >= 0) peer->at(c.answerAtMs, "0\r\n");
    openTo(peer);
    QTX_SetWaitNotice(record, &calls);
    if (c.waitMs > 0) {
        QTX_WaitMs(c.waitMs);
        EXPECT_EQ(clock.waits(), std::vector<int>{c.waitMs});  // still one exact pause
    } else {
        QTX_SetTimeout(c.timeoutMs);
        EXPECT_EQ(read(30).result, c.answerAtMs >= 0 ? 0 : QTX_ERR_TIMEOUT);
    }
    EXPECT_EQ(clock.nowMs(), c.endsAtMs);
    if (c.first == Call{0, 0}) {
        EXPECT_TRUE(calls.empty());
        return;
    }
    ASSERT_GE(calls.size(), 2U);
    EXPECT_EQ(calls.front(), c.first);
    EXPECT_EQ(calls.back(), c.last);
    // Between the first and the last, one notice every 100 ms of the whole wait.
    for (size_t i = 1; i + 1 < calls.size(); ++i) {
        EXPECT_EQ(calls[i].first, c.first.first);
        EXPECT_EQ(calls[i].second, c.first.second + static_cast<int>(i) * 100);
    }
    EXPECT_LT(calls[calls.size() - 2].second, c.last.second);
}

INSTANTIATE_TEST_SUITE_P(
    Waits, WaitNoticeTest,
    testing::Values(
        Case{"CommandPause", 5, 0, -1, {0, 0}, {0, 0}, 5},
        Case{"JustBelowTheThreshold", 999, 0, -1, {0, 0}, {0, 0}, 999},
        Case{"AtTheThreshold", 1000, 0, -1, {1000, 0}, {1000, 1000}, 1000},
        Case{"ModuleReset", 8000, 0, -1, {8000, 0}, {8000, 8000}, 8000},
        Case{"ReadAnsweredQuickly", 0, 5000, 300, {0, 0}, {0, 0}, 300},
        Case{"ReadWithShortTimeout", 0, 999, -1, {0, 0}, {0, 0}, 999},
        Case{"ReadTimingOut", 0, 1000, -1, {1000, 500}, {1000, 1000}, 1000},
        Case{"ReadAnsweredDuringTheWait", 0, 5000, 2550, {5000, 500}, {2550, 2550}, 2550}),
    [](const auto& param) { return std::string(param.param.name); });

// A wait inside the notice itself (a window's timer that talks to the port) is not told again.
void LINKPAD_CALL waitInside(int32_t totalMs, int32_t waitedMs, void* context) {
    record(totalMs, waitedMs, context);
    if (waitedMs == 0) QTX_WaitMs(1500);
}

TEST_F(PortTest, WaitInsideTheNoticeIsNotToldAgain) {
    std::vector<Call> calls;
    QTX_SetWaitNotice(waitInside, &calls);
    QTX_WaitMs(1000);
    QTX_SetWaitNotice(nullptr, nullptr);
    ASSERT_GE(calls.size(), 2U);
    EXPECT_EQ(calls.front(), (Call{1000, 0}));
    EXPECT_EQ(calls[1], (Call{1000, 1000}));  // the inner pause outlasted the outer one
    EXPECT_EQ(calls.size(), 2U);
    EXPECT_EQ(clock.nowMs(), 1500);
}

}  // namespace
