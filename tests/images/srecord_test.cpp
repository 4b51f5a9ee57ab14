// S-record files into block images: round trips through the test-firmware writer, check tables,
// malformed files, and data outside the image.
#include "link/images/srecord.h"

#include <gtest/gtest.h>

#include <numeric>

#include "image_test.h"
#include "link/images/check_tables.h"
#include "link/images/temp_images.h"

namespace {

using images_test::blockSums;
using images_test::contents;
using images_test::expectedImage;
using images_test::firstEntries;
using images_test::randomBytes;
using quorlink::checkTables;
using quorlink::ConvertSRecord;
using quorlink::ScanSRecordRange;

class SRecordTest : public images_test::ImageTest {
  protected:
    int convert(const std::string& text, int blocks, int mode, int64_t offset) {
        image_ = image();
        return ConvertSRecord(firmware(text), image_, blocks, mode, offset);
    }
    std::vector<uint8_t> converted() { return contents(image_); }

    std::FILE* image_ = nullptr;
};

TEST_F(SRecordTest, Mode0RoundTripGivesBytesNegatedChecksAndTotalWithoutBlocks509To511) {
    const std::vector<fwgen::Segment> segments = {{0x0000, randomBytes(3000, 1)},
                                                  {0xFE00, randomBytes(512, 2)}};
    checkTables().a.fill(0x55);
    ASSERT_EQ(convert(fwgen::toSRecord(segments), 512, 0, 0), 0);

    const auto expected = expectedImage(segments, 512, 128, 0x00, 0);
    ASSERT_EQ(converted(), expected);
    const auto sums = blockSums(expected, 512, 128);
    std::vector<uint8_t> negated;
    for (const uint8_t sum : sums) negated.push_back(static_cast<uint8_t>(-sum));
    EXPECT_EQ(firstEntries(checkTables().a, 512), negated);
    EXPECT_EQ(checkTables().totalA, std::accumulate(sums.begin(), sums.end() - 3, 0u) % 256);
    EXPECT_EQ(checkTables().a[512], 0x55) << "entries beyond the image stay untouched";
    EXPECT_FALSE(checkTables().extendedAddress);
}

TEST_F(SRecordTest, Mode1RoundTripFillsErasedValueAndNeverWritesOutsideTheImage) {
    const std::vector<fwgen::Segment> segments = {{0x0400, randomBytes(700, 3)}};
    checkTables().totalB = 0x77;
    ASSERT_EQ(convert(fwgen::toSRecord(segments), 16, 1, -0x400), 0);

    const auto expected = expectedImage(segments, 16, 128, 0xFF, -0x400);
    ASSERT_EQ(converted(), expected);
    const auto sums = blockSums(expected, 16, 128);
    EXPECT_EQ(firstEntries(checkTables().b, 16), sums);
    EXPECT_EQ(checkTables().totalB, std::accumulate(sums.begin(), sums.end(), 0u) % 256)
        << "total B starts from 0 for each image";

    // Records outside the image never write outside it.
    const std::vector<fwgen::Segment> outside = {
        {0x0F00, randomBytes(0x140, 5)},  // starts before the image, runs into it
        {0x1FF0, randomBytes(0x40, 6)},   // runs past its end
        {0x8000, randomBytes(0x20, 7)}};  // far beyond
    ASSERT_EQ(convert(fwgen::toSRecord(outside), 64, 1, -0x1000), 0);
    const auto bytes = converted();
    EXPECT_EQ(bytes.size(), 64u * 128) << "the image file does not grow";
    EXPECT_EQ(bytes, expectedImage(outside, 64, 128, 0xFF, -0x1000));
}

TEST_F(SRecordTest, S2RecordsS6S8AndLinesUpToTheLimitAreAccepted) {
    fwgen::SRecordOptions options;
    options.forceS2 = true;
    const std::vector<fwgen::Segment> segments = {{0x010000, randomBytes(256, 4)}};
    ASSERT_EQ(convert(fwgen::toSRecord(segments, options), 4, 1, -0x10000), 0);
    EXPECT_TRUE(checkTables().extendedAddress);
    EXPECT_EQ(converted(), expectedImage(segments, 4, 128, 0xFF, -0x10000));

    ASSERT_EQ(convert(fwgen::toSRecord({{0x10, {1}}}), 1, 1, 0), 0);
    EXPECT_FALSE(checkTables().extendedAddress) << "each conversion starts with the flag clear";

    // Lines up to the limit, S6 and S8 records are accepted.
    fwgen::SRecordOptions lines;
    lines.bytesPerRecord = 18;  // S1 lines of 46 characters
    const std::vector<fwgen::Segment> data = {{0x100, randomBytes(200, 8)}};
    std::string text = fwgen::toSRecord(data, lines);
    text.insert(text.find("S9"), "S6030000FC\r\n");
    ASSERT_EQ(convert(text, 8, 1, 0), 0);
    EXPECT_EQ(converted(), expectedImage(data, 8, 128, 0xFF, 0));

    EXPECT_EQ(convert("S0030000FC\nS1050000AABB95\nS804000000FB\n", 1, 1, 0), 0);
    EXPECT_EQ(converted()[0], 0xAA);
}

TEST_F(SRecordTest, MalformedFilesAndBadBlockCountsFailWithMinusOne) {
    const std::string header = "S00600004844521B\n";
    const std::string end = "S9030000FC\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"first line S1", "S1050000AABB95\n" + end},
        {"S3 record", header + "S3070000000011AA3D\n" + end},
        {"S5 record", header + "S5030001FB\n" + end},
        {"bad hex pair", header + "S1050000AXBB95\n" + end},
        {"bad count", header + "S1G50000AABB95\n" + end},
        {"data shorter than its count", header + "S10A0000AABB\n" + end},
        {"line without S", header + "X1050000AABB95\n" + end},
        {"no end record", header + "S1050000AABB95\n"},
        {"empty file", ""},
        {"line longer than 47 characters",
         header + "S1160000" + std::string(38, 'A') + "00\n" + end},
    };
    for (const auto& [name, text] : cases) {
        EXPECT_EQ(convert(text, 4, 0, 0), -1) << name;
        int64_t low = 0, high = 0;
        EXPECT_EQ(ScanSRecordRange(firmware(text), 0, 0xFFFFFF, low, high), -1) << name;
        EXPECT_EQ(low, -1) << name << ": no partial range";
        EXPECT_EQ(high, -1) << name;
    }
    // Block counts beyond the check tables are refused.
    const std::string text = fwgen::toSRecord({{0, {1, 2}}});
    EXPECT_EQ(convert(text, 2049, 0, 0), -1);
    EXPECT_EQ(convert(text, 16385, 1, 0), -1);
    EXPECT_EQ(convert(text, -1, 1, 0), -1);
    EXPECT_EQ(convert(text, 2048, 0, 0), 0);
}

TEST_F(SRecordTest, ScanWindowsAndNoTemporaryFileSurvivesAConversion) {
    // S1 ends are start + count (count covers address and checksum), S2 ends start + count - 5.
    const std::string text =
        "S00600004844521B\n"
        "S1130400000102030405060708090A0B0C0D0E0F70\n"    // 0x400, count 0x13 -> end 0x413
        "S1130380000102030405060708090A0B0C0D0E0FF1\n"    // 0x380: below the window
        "S214018000000102030405060708090A0B0C0D0E0FF2\n"  // 0x18000: above the window
        "S107080001020304E6\n"                            // 0x800, count 7 -> end 0x807
        "S9030000FC\n";
    int64_t low = 0, end = 0;
    checkTables().extendedAddress = false;
    ASSERT_EQ(ScanSRecordRange(firmware(text), 0x400, 0x17FFF, low, end), 0);
    EXPECT_EQ(low, 0x400);
    EXPECT_EQ(end, 0x807);
    EXPECT_TRUE(checkTables().extendedAddress);

    ASSERT_EQ(ScanSRecordRange(firmware(text), 0x10000, 0x20000, low, end), 0);
    EXPECT_EQ(low, 0x18000);
    EXPECT_EQ(end, 0x18000 + 0x14 - 5);

    EXPECT_EQ(ScanSRecordRange(firmware(text), 0x20000, 0x30000, low, end), -11);
    EXPECT_EQ(low, -1);
    EXPECT_EQ(end, -1);

    // No temporary file survives a failed or finished conversion.
    EXPECT_EQ(convert("S1050000AABB95\n", 4, 0, 0), -1);
    EXPECT_EQ(convert(fwgen::toSRecord({{0, {1}}}), 4, 0, 0), 0);
    EXPECT_EQ(leftoverTempFiles().size(), 2u);
    quorlink::DeleteTempImages();
    EXPECT_TRUE(leftoverTempFiles().empty());
}

}  // namespace
