// QTX_ReadPort and QTX_ActivateInterpreter over the in-process port on the virtual clock.
#include "port_fixture.h"

using namespace port_testing;

namespace {

using ReadPortTest = PortTest;

TEST_F(ReadPortTest, LineArrivesWithoutItsLineEnd) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(3, "P1.41\r\n");
    openTo(peer);
    const auto r = read(30);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.text, "P1.41");
    EXPECT_EQ(r.count, 5);
}

TEST_F(ReadPortTest, LineAssembledFromPiecesAndFollowingLineKept) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(1, "P1.").at(4, "41\r\nSECOND\r").at(9, "\n");
    openTo(peer);
    EXPECT_EQ(read(30).text, "P1.41");
    EXPECT_EQ(clock.nowMs(), 4);
    const auto second = read(30);
    EXPECT_EQ(second.result, 0);
    EXPECT_EQ(second.text, "SECOND");
    EXPECT_EQ(clock.nowMs(), 9);
}

TEST_F(ReadPortTest, OverlongLineIsCutAndItsRestSkipped) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(1, "0123456789ABCDEF").at(2, "GHIJ\r\n").at(3, "OK\r\n");
    openTo(peer);
    const auto cut = read(10);
    EXPECT_EQ(cut.result, 0);
    EXPECT_EQ(cut.text, "012345678");  // maximum - 1 bytes and the terminating zero
    const auto next = read(10);
    EXPECT_EQ(next.result, 0);
    EXPECT_EQ(next.text, "OK");
}

TEST_F(ReadPortTest, RawReadTakesExactlyTheCountIncludingLineEndBytes) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(1, "\n").at(2, "\rREST");
    openTo(peer);
    const auto two = read(2, 0);
    EXPECT_EQ(two.result, 0);
    EXPECT_EQ(two.text, "\n\r");
    EXPECT_EQ(read(4, 0).text, "REST");
}

TEST_F(ReadPortTest, NothingArrivingTimesOutAtTheSetTimeout) {
    openTo(std::make_shared<ChunkPeer>());
    QTX_SetTimeout(1234);
    EXPECT_EQ(QTX_GetCurrTimeout(), 1234);
    const auto r = read(30);
    EXPECT_NE(r.result, 0);
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(clock.nowMs(), 1234);
}

TEST_F(ReadPortTest, AnswerLaterThanTheTimeoutIsNotTaken) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(2000, "late\r\n");
    openTo(peer);
    QTX_SetTimeout(1000);
    EXPECT_NE(read(30).result, 0);
    QTX_SetTimeout(5000);
    EXPECT_EQ(read(30).text, "late");
}

TEST_F(ReadPortTest, PartialLineThenSilenceTimesOutWithWhatArrived) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(1, "P1.");
    openTo(peer);
    QTX_SetTimeout(500);
    const auto r = read(30);
    EXPECT_EQ(r.result, QTX_ERR_TIMEOUT);
    EXPECT_EQ(r.text, "P1.");
}

TEST_F(ReadPortTest, PeerClosingMidAnswerFailsAtOnceNotAtTheTimeout) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(1, "P1.").hangUpAt(2);
    openTo(peer);
    QTX_SetTimeout(60000);
    EXPECT_EQ(read(30).result, QTX_ERR_IO);
    EXPECT_EQ(clock.nowMs(), 2);
    EXPECT_EQ(read(30).result, QTX_ERR_IO);
    EXPECT_EQ(QTX_WritePort("IDN?\r\n"), QTX_ERR_IO);
}

TEST_F(ReadPortTest, FlushInQueueDropsWhatHasArrived) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(0, "stale\r\n").at(10, "fresh\r\n");
    openTo(peer);
    EXPECT_EQ(QTX_FlushInQueue(), 0);
    EXPECT_EQ(read(30).text, "fresh");
}

TEST_F(ReadPortTest, OperationsWithoutAnOpenPortFail) {
    int32_t count = 0;
    int32_t status = 0;
    char buffer[8] = {};
    EXPECT_EQ(QTX_ReadPort(buffer, 8, &count, &status, 10), QTX_ERR_IO);
    EXPECT_EQ(QTX_WritePort("IDN?\r\n"), QTX_ERR_NOT_OPEN);
    EXPECT_EQ(QTX_FlushInQueue(), QTX_ERR_NOT_OPEN);
    EXPECT_EQ(QTX_ActivateInterpreter(1500), QTX_ERR_NOT_OPEN);
    EXPECT_EQ(QTX_ReadPort(nullptr, 8, &count, &status, 10), QTX_ERR_ARGUMENT);
}

TEST_F(ReadPortTest, ActivateInterpreterSendsDc2IdnAndDiscardsTheAnswer) {
    auto peer = std::make_shared<ChunkPeer>();
    peer->at(0, "old junk\r\n").at(20, "QTX,KX43,0,P1.41\r\n").at(30, "0\r\n");
    openTo(peer);
    EXPECT_EQ(QTX_ActivateInterpreter(1500), 0);
    EXPECT_EQ(peer->written, "\x12IDN?\r\n");
    EXPECT_EQ(read(30).text, "0");
}

TEST_F(ReadPortTest, SilentInterpreterFailsAfterTheGivenWait) {
    openTo(std::make_shared<ChunkPeer>());
    EXPECT_EQ(QTX_ActivateInterpreter(500), QTX_ERR_NO_ANSWER);
    EXPECT_EQ(clock.nowMs(), 500);
}

}  // namespace
