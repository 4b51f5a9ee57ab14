// QTX_ReadPort and QTX_ActivateInterpreter over the in-process port on the virtual clock.
#include "port_fixture.h"

using namespace port_testing;

namespace {

using ReadPortTest = PortTest;

// Answers arriving in timed pieces, then reads in turn: what each read gives and when it ends.
struct ReadStep {
    int32_t maximum;
    int32_t terminator;
    int32_t result;
    std::string text;
    int64_t endsAtMs;
};
struct ReadCase {
    const char* name;
    std::vector<std::pair<int, std::string>> pieces;
    int32_t timeoutMs;
    std::vector<ReadStep> reads;
};

TEST_F(ReadPortTest, PiecesLinesRawBytesAndTimeOuts) {
    const ReadCase cases[] = {
        {"line without its line end", {{3, "P1.41\r\n"}}, 3600, {{30, 10, 0, "P1.41", 3}}},
        {"line from pieces, the next one kept",
         {{1, "P1."}, {4, "41\r\nSECOND\r"}, {9, "\n"}},
         3600,
         {{30, 10, 0, "P1.41", 4}, {30, 10, 0, "SECOND", 9}}},
        // maximum - 1 bytes and the terminating zero; the rest of the line is skipped
        {"overlong line cut", {{1, "0123456789ABCDEF"}, {2, "GHIJ\r\n"}, {3, "OK\r\n"}}, 3600,
         {{10, 10, 0, "012345678", 1}, {10, 10, 0, "OK", 3}}},
        {"raw read takes line-end bytes", {{1, "\n"}, {2, "\rREST"}}, 3600, {{2, 0, 0, "\n\r", 2}, {4, 0, 0, "REST", 2}}},
        {"nothing arrives", {}, 1234, {{30, 10, QTX_ERR_TIMEOUT, "", 1234}}},
        {"partial line, then silence", {{1, "P1."}}, 500, {{30, 10, QTX_ERR_TIMEOUT, "P1.", 500}}},
        {"answer later than the time-out kept for the next read", {{2000, "late\r\n"}}, 1500,
         {{30, 10, QTX_ERR_TIMEOUT, "", 1500}, {30, 10, 0, "late", 2000}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = clock.nowMs();  // the times of the case count from here
        auto peer = std::make_shared<ChunkPeer>();
        for (const auto& [ms, bytes] : c.pieces) peer->at(static_cast<int>(start) + ms, bytes);
        openTo(peer);
        QTX_SetTimeout(c.timeoutMs);
        EXPECT_EQ(QTX_GetCurrTimeout(), c.timeoutMs);
        for (const auto& step : c.reads) {
            const auto r = read(step.maximum, step.terminator);
            EXPECT_EQ(r.result, step.result);
            EXPECT_EQ(r.text, step.text);
            EXPECT_EQ(r.count, static_cast<int32_t>(step.text.size()));
            EXPECT_EQ(clock.nowMs() - start, step.endsAtMs);
        }
        QTX_ClosePort();
    }
}

TEST_F(ReadPortTest, FlushInQueueDropsWhatHasArrived) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(0, "stale\r\n").at(10, "fresh\r\n");
    openTo(peer);
    EXPECT_EQ(QTX_FlushInQueue(), 0);
    EXPECT_EQ(read(30).text, "fresh");
}

TEST_F(ReadPortTest, WithoutAnOpenPortOrAfterThePeerClosedOperationsFail) {
    int32_t count = 0;
    int32_t status = 0;
    char buffer[8] = {};
    EXPECT_EQ(QTX_ReadPort(buffer, 8, &count, &status, 10), QTX_ERR_IO);
    EXPECT_EQ(QTX_WritePort("IDN?\r\n"), QTX_ERR_NOT_OPEN);
    EXPECT_EQ(QTX_FlushInQueue(), QTX_ERR_NOT_OPEN);
    EXPECT_EQ(QTX_ActivateInterpreter(1500), QTX_ERR_NOT_OPEN);
    EXPECT_EQ(QTX_ReadPort(nullptr, 8, &count, &status, 10), QTX_ERR_ARGUMENT);

    // A peer closing mid-answer fails the read at once, not at the time-out.
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(1, "P1.").hangUpAt(2);
    openTo(peer);
    QTX_SetTimeout(60000);
    EXPECT_EQ(read(30).result, QTX_ERR_IO);
    EXPECT_EQ(clock.nowMs(), 2);
    EXPECT_EQ(read(30).result, QTX_ERR_IO);
    EXPECT_EQ(QTX_WritePort("IDN?\r\n"), QTX_ERR_IO);
}

TEST_F(ReadPortTest, ActivateInterpreterSendsDc2IdnDiscardsTheAnswerOrFailsOnSilence) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(0, "old junk\r\n").at(20, "QTX,KX43,0,P1.41\r\n").at(30, "0\r\n");
    openTo(peer);
    EXPECT_EQ(QTX_ActivateInterpreter(1500), 0);
    EXPECT_EQ(peer->written, "\x12IDN?\r\n");
    EXPECT_EQ(read(30).text, "0");
    const auto start = clock.nowMs();  // silent now: fails after the given wait
    EXPECT_EQ(QTX_ActivateInterpreter(500), QTX_ERR_NO_ANSWER);
    EXPECT_EQ(clock.nowMs() - start, 500);
}

}  // namespace
