// Intel HEX files into block images: base records, paragraph offsets, the stamp, check tables,
// malformed files and the range scan.
#include "link/images/intel_hex.h"

#include <gtest/gtest.h>

#include <numeric>
#include <regex>

#include "image_test.h"
#include "link/images/check_tables.h"

namespace {

using images_test::blockSums;
using images_test::byteSum;
using images_test::contents;
using images_test::expectedImage;
using images_test::firstEntries;
using images_test::randomBytes;
using quorlink::checkTables;
using quorlink::ConvertIntelHex;
using quorlink::ScanIntelHexRange;

constexpr int kNoStamp = 0;

class IntelHexTest : public images_test::ImageTest {
  protected:
    int convert(const std::string& text, int blocks, int64_t paragraphs, int size, uint8_t fill,
                int stamp, int mode) {
        image_ = image();
        return ConvertIntelHex(firmware(text), image_, blocks, paragraphs, size, fill, stamp, mode);
    }
    std::vector<uint8_t> converted() { return contents(image_); }

    std::FILE* image_ = nullptr;
};

TEST_F(IntelHexTest, LinearRoundTripWithBlockSumsAndRecordsRunningPastTheImage) {
    const std::vector<fwgen::Segment> segments = {{0x0FFF0, randomBytes(0x2000, 11)},
                                                  {0x30000, randomBytes(0x100, 12)}};
    ASSERT_EQ(convert(fwgen::toIntelHex(segments), 512, 0, 512, 0x00, kNoStamp, 0), 0);
    const auto expected = expectedImage(segments, 512, 512, 0x00, 0);
    ASSERT_EQ(converted(), expected);
    const auto sums = blockSums(expected, 512, 512);
    EXPECT_EQ(firstEntries(checkTables().a, 512), sums);
    EXPECT_EQ(checkTables().totalA, std::accumulate(sums.begin(), sums.end(), 0u) % 256);

    // Records running past the image never write outside it.
    const std::vector<fwgen::Segment> past = {{0x07F8, randomBytes(0x10, 15)},
                                              {0xFFFF0, randomBytes(0x10, 16)}};
    ASSERT_EQ(convert(fwgen::toIntelHex(past), 16, 0, 128, 0xFF, kNoStamp, 1), 0);
    const auto clipped = converted();
    EXPECT_EQ(clipped.size(), 16u * 128);
    EXPECT_EQ(clipped, expectedImage(past, 16, 128, 0xFF, 0));
}

TEST_F(IntelHexTest, SegmentRoundTripInMode1) {
    fwgen::IntelHexOptions options;
    options.addressing = fwgen::HexAddressing::Segment;
    options.bytesPerRecord = 32;
    const std::vector<fwgen::Segment> segments = {{0x1FF00, randomBytes(0x300, 13)}};
    ASSERT_EQ(convert(fwgen::toIntelHex(segments, options), 8, -0x1FF0, 128, 0xFF, kNoStamp, 1), 0);
    const auto expected = expectedImage(segments, 8, 128, 0xFF, -0x1FF00);
    ASSERT_EQ(converted(), expected);
    EXPECT_EQ(firstEntries(checkTables().b, 8), blockSums(expected, 8, 128));
}

// A paragraph offset of -256 maps address 0x1000 to byte 0 and skips lower data.
TEST_F(IntelHexTest, ParagraphOffsetsBaseRecordsAndTheEndRecord) {
    ASSERT_EQ(convert(fwgen::toIntelHex({{0x0FF0, randomBytes(0x20, 14)}}), 2, -256, 128, 0xFF,
                      kNoStamp, 0),
              0);
    const auto bytes = converted();
    const auto data = randomBytes(0x20, 14);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16),
              std::vector<uint8_t>(data.begin() + 16, data.end()));
    EXPECT_EQ(bytes[16], 0xFF);

    // Extended linear address 0x40 makes address 0x10 mean 0x400010.
    const std::string text = ":020000040040BA\n:0100100042AD\n:00000001FF\n";
    ASSERT_EQ(convert(text, 1, -0x40000, 128, 0xFF, kNoStamp, 1), 0);
    EXPECT_EQ(converted()[0x10], 0x42);
    int64_t low = 0, end = 0;
    ASSERT_EQ(ScanIntelHexRange(firmware(text), 0, -1, low, end), 0);
    EXPECT_EQ(low, 0x400010);
    EXPECT_EQ(end, 0x400011);

    // The end record finishes even without its colon; a start segment record is skipped.
    ASSERT_EQ(convert(":0400000300001000E9\n:0100100042AD\n 00000001FF\nrubbish\n", 1, 0, 128, 0xFF,
                      kNoStamp, 1),
              0);
    EXPECT_EQ(converted()[0x10], 0x42);
}

TEST_F(IntelHexTest, StampCarriesDateMarkAndFileNameCutTo118CharactersAtItsKindsPosition) {
    checkTables().stampFileName = "/some/dir/PANEL_P2.06.hex";
    ASSERT_EQ(convert(":00000001FF\n", 1024, 0, 128, 0xFF, 255, 0), 0);
    const auto bytes = converted();
    const std::string stamp(bytes.begin() + 0x1FF80, bytes.begin() + 0x20000);
    const std::string text = stamp.substr(0, stamp.find('\xFF'));
    EXPECT_TRUE(std::regex_match(
        text, std::regex(R"(\d\d\.\d\d\.\d{4},\d\d:\d\d:\d\d,QTX Quorlink 348,PANEL_P2\.06\.hex)")))
        << text;
    EXPECT_EQ(stamp.find_first_not_of('\xFF', text.size()), std::string::npos);
    EXPECT_EQ(checkTables().a[1023], byteSum(bytes, 0x1FF80, 128));

    checkTables().stampFileName = "C:\\fw\\" + std::string(200, 'N');
    ASSERT_EQ(convert(":00000001FF\n", 2560, 0, 128, 0x00, 2, 1), 0);
    auto cut = converted();
    EXPECT_EQ(cut[0x4FF80 + 117], 'N');
    EXPECT_EQ(cut[0x4FF80 + 118], 0x00);
    EXPECT_EQ(cut[0x4FF80 + 36], ',');  // after "dd.mm.yyyy,hh:mm:ss,QTX Quorlink 348"

    ASSERT_EQ(convert(":00000001FF\n", 2048, 0, 128, 0x00, 3, 1), 0);
    cut = converted();
    EXPECT_EQ(std::string(cut.begin() + 0x3FF80 + 19, cut.begin() + 0x3FF80 + 36),
              ",QTX Quorlink 348");

    ASSERT_EQ(convert(":00000001FF\n", 16, 0, 128, 0xFF, 2, 1), 0) << "stamp outside the image";
    EXPECT_EQ(converted(), std::vector<uint8_t>(16 * 128, 0xFF));
}

TEST_F(IntelHexTest, MalformedFilesAndBadGeometryFailWithMinusOne) {
    const std::string data = ":0100100042AD\n";
    const std::string end = ":00000001FF\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"start linear address record", ":0400000500000000F7\n" + data + end},
        {"type 6", ":00000006FA\n" + end},
        {"type letter", ":0000000AF6\n" + end},
        {"bad data pair", ":01001000G2AD\n" + end},
        {"bad address", ":010Z100042AD\n" + end},
        {"bad base", ":0200000400Z0BA\n" + data + end},
        {"data shorter than its count", ":0400100042AD\n" + end},
        {"line without colon", data + "0100100042AD\n" + end},
        {"empty line", data + "\n" + end},
        {"no end record", data},
        {"line longer than 187 characters", ":5A001000" + std::string(180, '0') + "00\n" + end},
    };
    for (const auto& [name, text] : cases) {
        EXPECT_EQ(convert(text, 4, 0, 128, 0xFF, kNoStamp, 0), -1) << name;
        int64_t low = 0, high = 0;
        EXPECT_EQ(ScanIntelHexRange(firmware(text), 0, -1, low, high), -1) << name;
        EXPECT_EQ(low, -1) << name << ": no partial range";
        EXPECT_EQ(high, -1) << name;
    }
    // Bad geometry is refused.
    const std::string text = ":00000001FF\n";
    EXPECT_EQ(convert(text, 2049, 0, 128, 0xFF, kNoStamp, 0), -1);
    EXPECT_EQ(convert(text, 16385, 0, 128, 0xFF, kNoStamp, 1), -1);
    EXPECT_EQ(convert(text, 4, 0, 0, 0xFF, kNoStamp, 1), -1);
    EXPECT_EQ(convert(text, 4, 0, 8192, 0xFF, kNoStamp, 1), -1);
    EXPECT_EQ(convert(text, 4, int64_t{1} << 62, 128, 0xFF, kNoStamp, 1), -1);
}

TEST_F(IntelHexTest, ScanHonoursLowAndOptionalHigh) {
    const std::vector<fwgen::Segment> segments = {{0x00100, randomBytes(0x10, 1)},
                                                  {0x30010, randomBytes(0x30, 2)},
                                                  {0x400000, randomBytes(0x80, 3)}};
    const std::string text = fwgen::toIntelHex(segments);
    int64_t low = 0, end = 0;
    ASSERT_EQ(ScanIntelHexRange(firmware(text), 0x30001, -1, low, end), 0);
    EXPECT_EQ(low, 0x30010);
    EXPECT_EQ(end, 0x400080);
    ASSERT_EQ(ScanIntelHexRange(firmware(text), 0, 0x30040, low, end), 0);
    EXPECT_EQ(low, 0x100);
    EXPECT_EQ(end, 0x30040);
    EXPECT_EQ(ScanIntelHexRange(firmware(text), 0x500000, -1, low, end), -11);
    EXPECT_EQ(low, -1);
    EXPECT_EQ(end, -1);
}

}  // namespace
