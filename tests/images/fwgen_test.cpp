// The test-firmware writer: exact record text, record splitting and its limits.
#include "tools/fwgen/fwgen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "image_test.h"

namespace {

using fwgen::toIntelHex;
using fwgen::toSRecord;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        EXPECT_TRUE(line.ends_with("\r")) << line;
        line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TEST(FwgenSRecord, WritesHeaderDataAndEndWithChecksums) {
    fwgen::SRecordOptions options;
    options.header = "HDR";
    EXPECT_EQ(linesOf(toSRecord({{0x1000, {0x01, 0x02, 0x03}}}, options)),
              (std::vector<std::string>{"S00600004844521B", "S1061000010203E3", "S9030000FC"}));
}

TEST(FwgenSRecord, UsesS2AboveSixteenBitsAndThenEndsWithS8) {
    const auto lines = linesOf(toSRecord({{0xFFFE, {0xAA, 0xBB, 0xCC}}}));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "S20700FFFEAABBCCCA");
    EXPECT_EQ(lines[2], "S804000000FB");
}

TEST(FwgenIntelHex, WritesDataAndEndWithChecksums) {
    EXPECT_EQ(linesOf(toIntelHex({{0x0010, {0x42}}})),
              (std::vector<std::string>{":0100100042AD", ":00000001FF"}));
}

TEST(FwgenIntelHex, SplitsAtSixtyFourKilobyteBoundariesWithBaseRecords) {
    const auto data = images_test::randomBytes(4, 2);
    const auto linear = linesOf(toIntelHex({{0x4FFFE, data}}));
    ASSERT_EQ(linear.size(), 5u);
    EXPECT_EQ(linear[0], ":020000040004F6");
    EXPECT_TRUE(linear[1].starts_with(":02FFFE00"));
    EXPECT_EQ(linear[2], ":020000040005F5");
    EXPECT_TRUE(linear[3].starts_with(":02000000"));

    fwgen::IntelHexOptions segmented;
    segmented.addressing = fwgen::HexAddressing::Segment;
    const auto segment = linesOf(toIntelHex({{0x4FFFE, data}}, segmented));
    EXPECT_EQ(segment[0], ":020000024000BC");
    EXPECT_EQ(segment[2], ":020000025000AC");
}

TEST(Fwgen, RefusesWhatTheFormatCannotHold) {
    EXPECT_THROW(toSRecord({{0xFFFFFF, {1, 2}}}), std::invalid_argument);
    fwgen::SRecordOptions options;
    options.bytesPerRecord = 0;
    EXPECT_THROW(toSRecord({}, options), std::invalid_argument);
    fwgen::IntelHexOptions segmented;
    segmented.addressing = fwgen::HexAddressing::Segment;
    EXPECT_THROW(toIntelHex({{0xFFFFF, {1, 2}}}, segmented), std::invalid_argument);
    EXPECT_NO_THROW(toIntelHex({{0xFFFFFFFE, {1, 2}}}));
}

class FwgenFileTest : public images_test::ImageTest {};

TEST_F(FwgenFileTest, WriteFileAtomicallyReplacesAndLeavesNoTemporaryFile) {
    const auto path = dir / "out.hex";
    fwgen::writeFileAtomically(path.string(), "first");
    fwgen::writeFileAtomically(path.string(), "second");
    std::ifstream file(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "second");
    EXPECT_EQ(leftoverTempFiles(), std::vector<std::string>{"out.hex"});
    EXPECT_THROW(fwgen::writeFileAtomically((dir / "missing" / "x").string(), "x"),
                 std::runtime_error);
}

}  // namespace
