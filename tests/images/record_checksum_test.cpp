// Record checksums: every reader refuses a file with one flipped digit or a missing or wrong
// checksum, and still accepts the correct file.
#include <gtest/gtest.h>

#include "image_test.h"
#include "link/images/intel_hex.h"
#include "link/images/srecord.h"
#include "link/images/strapper_hex.h"

namespace {

using images_test::contents;
using images_test::expectedImage;
using images_test::randomBytes;
using quorlink::kStrapperFileError;

constexpr int kBlocks = 4;
constexpr uint8_t kFill = 0xFF;
constexpr int kNoStampKind = 0;

// The text with one hex digit of the `line`-th line (0-based) at `column` changed.
std::string flipDigit(std::string text, size_t line, size_t column) {
    size_t start = 0;
    for (size_t i = 0; i < line; ++i) start = text.find('\n', start) + 1;
    char& digit = text.at(start + column);
    digit = digit == '0' ? '1' : '0';
    return text;
}

class RecordChecksumTest : public images_test::ImageTest {
  protected:
    // Converts as S-records or Intel HEX; the image file must stay empty on refusal.
    int convert(const std::string& text, bool intelHex) {
        image_ = image();
        const int result = intelHex
                               ? quorlink::ConvertIntelHex(firmware(text), image_, kBlocks, 0, 128,
                                                           kFill, kNoStampKind, 1)
                               : quorlink::ConvertSRecord(firmware(text), image_, kBlocks, 1, 0);
        if (result != 0) {
            EXPECT_TRUE(contents(image_).empty()) << "nothing written when refused";
        }
        return result;
    }
    int scan(const std::string& text, bool intelHex) {
        int64_t low = 0, end = 0;
        const int result = intelHex
                               ? quorlink::ScanIntelHexRange(firmware(text), 0, -1, low, end)
                               : quorlink::ScanSRecordRange(firmware(text), 0, 0xFFFFFF, low, end);
        if (result != 0) {
            EXPECT_EQ(low, -1) << "no partial range";
        }
        return result;
    }
    int copyToImage(const std::string& text) {
        std::FILE* flat = image();
        return quorlink::CopyHexToImage(firmware(text), flat, {}, kBlocks * 128);
    }
    int readBytes(const std::string& text) {
        std::vector<uint8_t> bytes;
        const int result = quorlink::ReadHexBytes(bytes, firmwarePath("program.hex", text), 512);
        if (result != 0) {
            EXPECT_TRUE(bytes.empty());
        }
        return result;
    }
    std::vector<uint8_t> converted() { return contents(image_); }

    std::FILE* image_ = nullptr;
};

TEST_F(RecordChecksumTest, OneFlippedDataDigitIsRefusedByEveryReader) {
    const std::vector<fwgen::Segment> segments = {{0x40, randomBytes(200, 31)}};
    fwgen::SRecordOptions s2;
    s2.forceS2 = true;
    struct Format {
        const char* name;
        std::string text;
        bool intelHex;
        size_t firstDataColumn;  // of the second line, a data record in every format
    };
    const Format formats[] = {
        {"S1", fwgen::toSRecord(segments), false, 8},
        {"S2", fwgen::toSRecord(segments, s2), false, 10},
        {"Intel HEX", fwgen::toIntelHex(segments), true, 9},
    };
    for (const Format& format : formats) {
        SCOPED_TRACE(format.name);
        ASSERT_EQ(convert(format.text, format.intelHex), 0);
        EXPECT_EQ(converted(), expectedImage(segments, kBlocks, 128, kFill, 0));
        EXPECT_EQ(scan(format.text, format.intelHex), 0);

        for (const size_t column : {format.firstDataColumn, format.firstDataColumn + 5}) {
            SCOPED_TRACE(column);
            const std::string flipped = flipDigit(format.text, 1, column);
            EXPECT_EQ(convert(flipped, format.intelHex), -1);
            EXPECT_EQ(scan(flipped, format.intelHex), -1);
            if (!format.intelHex) continue;
            EXPECT_EQ(copyToImage(flipped), kStrapperFileError);
            EXPECT_EQ(readBytes(flipped), kStrapperFileError);
        }
    }
}

TEST_F(RecordChecksumTest, MissingOrWrongChecksumOnAnyRecordIsRefused) {
    const std::string header = "S0030000FC\n";
    const std::string data = "S1050000AABB95\n";
    const std::string end = "S9030000FC\n";
    ASSERT_EQ(convert(header + data + "S6030000FC\n" + end, false), 0) << "the correct file";
    const std::vector<std::pair<std::string, std::string>> sRecordCases = {
        {"data checksum missing", header + "S1050000AABB\n" + end},
        {"data checksum off by one", header + "S1050000AABB96\n" + end},
        {"header checksum wrong", "S0030000FD\n" + data + end},
        {"count record checksum wrong", header + data + "S6030000FD\n" + end},
        {"end record checksum wrong", header + data + "S9030000FD\n"},
        {"end record without count", header + data + "S9\n"},
    };
    for (const auto& [name, text] : sRecordCases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(convert(text, false), -1);
        EXPECT_EQ(scan(text, false), -1);
    }

    const std::string hexData = ":0100100042AD\n";
    const std::string hexEnd = ":00000001FF\n";
    ASSERT_EQ(convert(":020000040000FA\n" + hexData + hexEnd, true), 0) << "the correct file";
    const std::vector<std::pair<std::string, std::string>> intelHexCases = {
        {"data checksum missing", ":0100100042\n" + hexEnd},
        {"data checksum wrong", ":0100100042AE\n" + hexEnd},
        {"base record checksum wrong", ":020000040000FB\n" + hexData + hexEnd},
        {"start segment checksum wrong", ":0400000300001000E8\n" + hexData + hexEnd},
        {"end record checksum wrong", hexData + ":00000001FE\n"},
    };
    for (const auto& [name, text] : intelHexCases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(convert(text, true), -1);
        EXPECT_EQ(scan(text, true), -1);
        EXPECT_EQ(copyToImage(text), kStrapperFileError);
        EXPECT_EQ(readBytes(text), kStrapperFileError);
    }
}

}  // namespace
