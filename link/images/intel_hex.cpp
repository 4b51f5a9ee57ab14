// Intel HEX files into block images of any block size, and the address range they cover.
#include "link/images/intel_hex.h"

#include <algorithm>

#include "link/images/block_image.h"
#include "link/images/check_tables.h"
#include "link/images/intel_hex_records.h"
#include "link/images/stamp.h"

namespace quorlink {

namespace {

constexpr int kLargestBlockSize = 4096;
constexpr int64_t kLargestParagraphOffset = int64_t{1} << 40;  // keeps positions far from overflow
constexpr size_t kStampSize = 128;
constexpr size_t kStampTextSize = 118;

bool validArguments(int blocks, int64_t paragraphs, int blockSize, int mode) {
    const size_t entries = mode == 1 ? checkTables().b.size() : checkTables().a.size();
    return blocks >= 0 && static_cast<size_t>(blocks) <= entries && blockSize > 0 &&
           blockSize <= kLargestBlockSize && paragraphs >= -kLargestParagraphOffset &&
           paragraphs <= kLargestParagraphOffset;
}

void writeStamp(BlockImage& image, int stampKind, uint8_t fill) {
    const auto position = StampPosition(stampKind);
    if (!position) return;
    std::string text = CurrentStampText();
    text.resize(std::min(text.size(), kStampTextSize));
    std::vector<uint8_t> stamp(text.begin(), text.end());
    stamp.resize(kStampSize, fill);
    image.write(*position, stamp);
}

void fillIntelHexCheckTables(const BlockImage& image, int blocks, int mode) {
    CheckTables& tables = checkTables();
    uint8_t& total = mode == 1 ? tables.totalB : tables.totalA;
    total = 0;
    for (int i = 0; i < blocks; ++i) {
        const uint8_t sum = image.blockSum(i);
        (mode == 1 ? tables.b[i] : tables.a[i]) = sum;
        total = static_cast<uint8_t>(total + sum);
    }
}

}  // namespace

int ConvertIntelHex(std::FILE* file, std::FILE* image, int blocks, int64_t paragraphs,
                    int blockSize, uint8_t fill, int stampKind, int mode) {
    if (!file || !image || !validArguments(blocks, paragraphs, blockSize, mode)) return -1;
    std::rewind(image);
    BlockImage content(blocks, blockSize, fill);
    CheckTables& tables = checkTables();
    if (mode == 1)
        std::fill_n(tables.b.begin(), blocks, 0);
    else
        std::fill_n(tables.a.begin(), blocks, 0);

    IntelHexReader reader(file);
    HexDataRecord record;
    for (;;) {
        const auto step = reader.next(record);
        if (step == IntelHexReader::Step::Malformed) return -1;
        if (step == IntelHexReader::Step::End) break;
        content.write(paragraphs * 16 + record.address, record.data);
    }
    writeStamp(content, stampKind, fill);
    if (!content.saveTo(image)) return -1;
    fillIntelHexCheckTables(content, blocks, mode);
    return 0;
}

int ScanIntelHexRange(std::FILE* file, int64_t low, int64_t high, int64_t& lowest, int64_t& end) {
    lowest = end = -1;
    if (!file) return -1;
    IntelHexReader reader(file);
    HexDataRecord record;
    bool found = false;
    for (;;) {
        const auto step = reader.next(record);
        if (step == IntelHexReader::Step::Malformed) {
            lowest = end = -1;  // no partial range from a file that is refused
            return -1;
        }
        if (step == IntelHexReader::Step::End) return found ? 0 : -11;
        const int64_t start = record.address;
        const int64_t recordEnd = start + record.count;
        if (start < low || (high != -1 && recordEnd > high)) continue;
        lowest = found ? std::min(lowest, start) : start;
        end = found ? std::max(end, recordEnd) : recordEnd;
        found = true;
    }
}

}  // namespace quorlink
