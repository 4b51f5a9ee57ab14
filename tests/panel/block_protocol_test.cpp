// The programming protocol byte for byte against a scripted programming program.
#include "link/panel/block_protocol.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "link/channel/channel.h"
#include "link_fixture.h"
#include "linkpad/linkpad.h"

using namespace quorlink::panel;
using namespace testing_support;

namespace {

const std::string kAck(1, '\0');

std::string bytes(std::initializer_list<int> values) {
    std::string text;
    for (int v : values) text += char(v);
    return text;
}

class BlockProtocol : public ScriptedLinkTest {
  protected:
    void SetUp() override {
        ScriptedLinkTest::SetUp();
        QTX_SetTimeout(5000);
        // Four 16-byte blocks: data, zeros, data in a free range, data.
        image.reset(std::tmpfile());
        for (int i = 0; i < 64; ++i) std::fputc(i < 16 || i >= 32 ? i + 1 : 0, image.get());
        parameters.imageSize = 64;
        parameters.blockSize = 16;
        parameters.freeRanges = {{32, 47}};
    }
    std::string block(int first) {
        std::string text;
        for (int i = first; i < first + 16; ++i) text += char(i + 1);
        return text;
    }
    int run() { return programImage(image.get(), parameters, reporter); }

    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> image;
    StrapperParameters parameters;
    StrapperReporter reporter{quorlink::channel()};
};

TEST_F(BlockProtocol, BlockSizeEmptyBlockFreeRangeAndChecks) {
    const int dataSum0 = 136;                      // 1 + ... + 16
    const int dataSum3 = 49 * 16 + 136 - 16;       // 49 + ... + 64
    peer->expect(bytes({0x11, 0x40, 0x51}), kAck)  // 16 + 1, marker, sum
        .expect(bytes({0x01, 0x00}), kAck)
        .expect(block(0))
        .expect(bytes({(dataSum0 + 1) & 0xFF}), kAck)
        .expect(bytes({0x02, 0x80}), kAck)
        .expect(bytes({0x82}), kAck)  // zeros: bit 15, no data
        .expect(bytes({0x04, 0x00}), kAck)
        .expect(block(48))  // block 2 is free
        .expect(bytes({(dataSum3 + 4) & 0xFF}), kAck);
    EXPECT_EQ(run(), 0);
}

TEST_F(BlockProtocol, RefusedBlockSizeOrBlockIsAFlashError) {
    peer->expect(bytes({0x11, 0x40, 0x51}), bytes({1}));
    EXPECT_EQ(run(), -11);
    peer->expect(bytes({0x11, 0x40, 0x51}), kAck)
        .expect(bytes({0x01, 0x00}), kAck)
        .expect(block(0))
        .expect(bytes({137}), bytes({0xFF}));
    EXPECT_EQ(run(), -11);
}

TEST_F(BlockProtocol, MissingAcknowledgementIsAPortError) {
    peer->expect(bytes({0x11, 0x40, 0x51}), kAck).expect(bytes({0x01, 0x00}));
    clock.clearWaits();
    const auto before = clock.nowMs();
    EXPECT_EQ(run(), -3);
    EXPECT_EQ(clock.nowMs() - before, 5000);
}

}  // namespace
