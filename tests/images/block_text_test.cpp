// Blocks rendered as command text, hex pairs and reversed hex.
#include "link/images/block_text.h"

#include <gtest/gtest.h>

#include "image_test.h"
#include "link/images/check_tables.h"

namespace {

using quorlink::BytesToHexReversed;
using quorlink::checkTables;
using quorlink::HexPairToByte;
using quorlink::RenderBlock128;
using quorlink::RenderBlock64;

class BlockTextTest : public images_test::ImageTest {
  protected:
    std::FILE* imageWith(const std::vector<uint8_t>& bytes) {
        std::FILE* file = image();
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fflush(file);
        return file;
    }
};

TEST_F(BlockTextTest, RenderBlock128WritesUpperHexWithCrLfAndRefusesWhatDoesNotFit) {
    std::vector<uint8_t> bytes(3 * 128, 0xFF);
    bytes[128] = 0x0A;
    bytes[255] = 0xBC;
    std::FILE* file = imageWith(bytes);
    std::string command = "PRC1,2,Dxxxxxxxx";
    EXPECT_EQ(RenderBlock128(command, 1, 8, file, 0xFF), 2);
    EXPECT_EQ(command, "PRC1,2,D0A" + std::string(252, 'F') + "BC\r\n");
    EXPECT_EQ(RenderBlock128(command, 0, 8, file, 0xFF), 0) << "erased block";
    EXPECT_EQ(RenderBlock128(command, 2, 8, file, 0x00), 128);

    // Blocks beyond the image and positions beyond the buffer are refused.
    std::FILE* shortImage = imageWith(std::vector<uint8_t>(200, 0));
    std::string prefix = "PRC";
    EXPECT_EQ(RenderBlock128(prefix, 1, 3, shortImage, 0), -1);
    EXPECT_EQ(RenderBlock128(prefix, 0, 4, shortImage, 0), -1);
    EXPECT_EQ(prefix, "PRC");
    EXPECT_EQ(RenderBlock64(prefix, 4, shortImage, 0), -1);
    EXPECT_EQ(RenderBlock64(prefix, -1, shortImage, 0), -1);
}

TEST_F(BlockTextTest, RenderBlock64AddsLittleEndianWordsAndCountsNonFill) {
    std::vector<uint8_t> bytes(128, 0xFF);
    bytes[64] = 0x34;
    bytes[65] = 0x12;
    std::FILE* file = imageWith(bytes);
    checkTables().wordSum = 5;
    std::string packet = "old text";
    EXPECT_EQ(RenderBlock64(packet, 1, file, 0xFF), 2);
    EXPECT_EQ(packet, "3412" + std::string(124, 'F'));
    EXPECT_EQ(checkTables().wordSum, 5u + 0x1234 + 31u * 0xFFFF);
    EXPECT_EQ(RenderBlock64(packet, 0, file, 0xFF), 0);
    EXPECT_EQ(checkTables().wordSum, 5u + 0x1234 + 63u * 0xFFFF);
}

TEST(HexText, PairsAcceptBothCasesAndRejectEverythingElse) {
    EXPECT_EQ(HexPairToByte('0', '0'), 0x00);
    EXPECT_EQ(HexPairToByte('a', 'F'), 0xAF);
    EXPECT_EQ(HexPairToByte('9', 'f'), 0x9F);
    for (char bad : std::string("gG:/@`' \0\n", 11)) {
        EXPECT_FALSE(HexPairToByte(bad, '0')) << int(bad);
        EXPECT_FALSE(HexPairToByte('0', bad)) << int(bad);
    }

    // Bytes to reversed hex: appended, last byte first.
    const uint8_t bytes[] = {0x12, 0x34, 0xAB};
    std::string out = ">";
    BytesToHexReversed(out, bytes, 3);
    EXPECT_EQ(out, ">AB3412");
}

}  // namespace
