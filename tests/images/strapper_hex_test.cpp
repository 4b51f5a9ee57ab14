// The bootstrap tool's HEX readers: flat image copy, byte sequences, sizes and clearing.
#include "link/images/strapper_hex.h"

#include <gtest/gtest.h>

#include <map>

#include "image_test.h"

namespace {

using images_test::contents;
using images_test::randomBytes;
using quorlink::ClearImage;
using quorlink::CopyHexToImage;
using quorlink::FileSize;
using quorlink::kStrapperFileError;
using quorlink::ReadHexBytes;

constexpr int64_t kImageSize = 0x20000;

class StrapperHexTest : public images_test::ImageTest {
  protected:
    int copy(const std::string& text, int64_t limit = kImageSize) {
        image_ = image();
        EXPECT_EQ(ClearImage(image_, kImageSize), 0);
        return CopyHexToImage(
            firmware(text), image_, [this](int p) { progress_.push_back(p); }, limit);
    }
    std::vector<uint8_t> imageBytes() { return contents(image_); }

    std::FILE* image_ = nullptr;
    std::vector<int> progress_;
};

TEST_F(StrapperHexTest, CopyPlacesLinearAndSegmentRecordsAndReportsProgress) {
    const std::vector<fwgen::Segment> segments = {{0x00100, randomBytes(0x1000, 21)},
                                                  {0x1FFF0, randomBytes(0x10, 22)}};
    fwgen::IntelHexOptions segmented;
    segmented.addressing = fwgen::HexAddressing::Segment;
    for (const auto& text : {fwgen::toIntelHex(segments), fwgen::toIntelHex(segments, segmented)}) {
        progress_.clear();
        ASSERT_EQ(copy(text), 0);
        const auto bytes = imageBytes();
        ASSERT_EQ(bytes.size(), static_cast<size_t>(kImageSize));
        EXPECT_EQ(bytes, images_test::expectedImage(segments, 1, kImageSize, 0, 0));
        ASSERT_FALSE(progress_.empty());
        EXPECT_EQ(progress_.back(), 100);
        EXPECT_TRUE(std::is_sorted(progress_.begin(), progress_.end()));
    }
}

TEST_F(StrapperHexTest, BaseRecordsStartRecordsTheFirstLineWithoutColonAndCopyFailures) {
    const std::vector<std::pair<std::string, std::map<size_t, uint8_t>>> cases = {
        {":020000040001F9\n:0100100042AD\n:00000001FF\n", {{0x10010, 0x42}}},
        {":0400000300001000E9\n:0400000500000000F7\n:0100100042AD\n:00000001FF\n", {{0x10, 0x42}}},
        {":0100100042AD\n\n:010020009946\n", {{0x10, 0x42}, {0x20, 0x00}}},
    };
    for (const auto& [text, bytes] : cases) {
        SCOPED_TRACE(text);
        ASSERT_EQ(copy(text), 0);
        const auto image = imageBytes();
        for (const auto& [address, value] : bytes) EXPECT_EQ(image.at(address), value) << address;
    }
    EXPECT_EQ(copy(":00000006FA\n:00000001FF\n"), kStrapperFileError);
    EXPECT_EQ(copy(":0000000AF6\n:00000001FF\n"), kStrapperFileError);

    const std::vector<std::pair<std::string, std::string>> failures = {
        {"no end record", ":0100100042AD\n"},
        {"bad data pair", ":01001000X2AD\n:00000001FF\n"},
        {"bad address", ":01Z0100042AD\n:00000001FF\n"},
        {"bad base", ":02000004Z001F9\n:00000001FF\n"},
        {"data shorter than its count", ":0400100042AD\n:00000001FF\n"},
        {"line too long", ":78001000" + std::string(242, '0') + "00\n:00000001FF\n"},
        {"record type missing", ":0100\n:00000001FF\n"},
    };
    for (const auto& [name, text] : failures) EXPECT_EQ(copy(text), kStrapperFileError) << name;
}

TEST_F(StrapperHexTest, AddressesBeyondTheImageAreRefusedInsteadOfGrowingIt) {
    EXPECT_EQ(copy(":02001000AABB89\n:00000001FF\n", 0x11), kStrapperFileError);
    EXPECT_EQ(copy(":0200000400FFFB\n:0100100042AD\n:00000001FF\n"), kStrapperFileError);
    EXPECT_EQ(imageBytes().size(), static_cast<size_t>(kImageSize));
    EXPECT_EQ(copy(":02001000AABB89\n:00000001FF\n", 0x12), 0) << "the last byte fits";
}

TEST_F(StrapperHexTest, ReadHexBytesJoinsDataRecordsUntilEndOrLineWithoutColonAndRefuses) {
    for (const char* text : {":020000001122CB\n:00000005FB\n:02100000334477\n:00000001FF\n",
                             ":020000001122CB\n:02100000334477\n;comment\n:0200000055AAFF\n"}) {
        SCOPED_TRACE(text);
        std::vector<uint8_t> bytes = {9, 9};
        ASSERT_EQ(ReadHexBytes(bytes, firmwarePath("loader.hex", text), 512), 0);
        EXPECT_EQ(bytes, (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44}));
    }

    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadHexBytes(bytes, (dir / "missing.hex").string(), 512), kStrapperFileError);
    EXPECT_EQ(ReadHexBytes(bytes, firmwarePath("a.hex", ":020000001122CB\n"), 512),
              kStrapperFileError)
        << "no end";
    EXPECT_EQ(ReadHexBytes(bytes, firmwarePath("b.hex", ":0200000011X2CB\n:00000001FF\n"), 512),
              kStrapperFileError)
        << "bad pair";

    const std::string big = fwgen::toIntelHex({{0, randomBytes(513, 23)}});
    EXPECT_EQ(ReadHexBytes(bytes, firmwarePath("c.hex", big), 512), kStrapperFileError);
    EXPECT_TRUE(bytes.empty());
    const std::string fits = fwgen::toIntelHex({{0, randomBytes(512, 23)}});
    ASSERT_EQ(ReadHexBytes(bytes, firmwarePath("d.hex", fits), 512), 0);
    EXPECT_EQ(bytes, randomBytes(512, 23));
}

TEST_F(StrapperHexTest, FileSizeKeepsThePositionAndClearImageZeroes) {
    std::FILE* file = image();
    std::fputs("0123456789", file);
    std::fseek(file, 3, SEEK_SET);
    EXPECT_EQ(FileSize(file), 10);
    EXPECT_EQ(std::ftell(file), 3);

    ASSERT_EQ(ClearImage(file, 4), 0);
    EXPECT_EQ(contents(file), (std::vector<uint8_t>{0, 0, 0, 0, '4', '5', '6', '7', '8', '9'}));
    EXPECT_EQ(ClearImage(nullptr, 4), kStrapperFileError);
    EXPECT_EQ(FileSize(nullptr), -1);
}

}  // namespace
