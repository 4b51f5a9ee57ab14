// S-record files into 128-byte block images, and the address range they cover.
#include "link/images/srecord.h"

#include <algorithm>

#include "link/images/block_image.h"
#include "link/images/check_tables.h"
#include "link/images/srecord_records.h"

namespace quorlink {

namespace {

constexpr int64_t kBlockSize = 128;

// The module's closing check leaves blocks 509-511 out, so total A does too.
bool countsTowardsTotalA(int64_t block) { return block < 509 || block > 511; }

bool fitsTable(int blocks, int mode) {
    const size_t entries = mode == 1 ? checkTables().b.size() : checkTables().a.size();
    return blocks >= 0 && static_cast<size_t>(blocks) <= entries;
}

void fillSRecordCheckTables(const BlockImage& image, int blocks, int mode) {
    CheckTables& tables = checkTables();
    if (mode == 1)
        tables.totalB = 0;
    else
        tables.totalA = 0;
    for (int i = 0; i < blocks; ++i) {
        const uint8_t sum = image.blockSum(i);
        if (mode == 1) {
            tables.b[i] = sum;
            tables.totalB = static_cast<uint8_t>(tables.totalB + sum);
        } else {
            tables.a[i] = static_cast<uint8_t>(-sum);
            if (countsTowardsTotalA(i)) tables.totalA = static_cast<uint8_t>(tables.totalA + sum);
        }
    }
}

void clearCheckTables(int blocks, int mode) {
    CheckTables& tables = checkTables();
    if (mode == 1)
        std::fill_n(tables.b.begin(), blocks, 0);
    else
        std::fill_n(tables.a.begin(), blocks, 0);
    tables.extendedAddress = false;
}

}  // namespace

int ConvertSRecord(std::FILE* file, std::FILE* image, int blocks, int mode, int64_t offset) {
    if (!file || !image || !fitsTable(blocks, mode)) return -1;
    std::rewind(image);
    SRecordReader reader(file);
    if (!reader.readHeader()) return -1;
    BlockImage content(blocks, kBlockSize, mode == 1 ? 0xFF : 0x00);
    clearCheckTables(blocks, mode);

    SRecord record;
    for (;;) {
        const auto step = reader.next(record);
        if (step == SRecordReader::Step::Malformed) return -1;
        if (step == SRecordReader::Step::End) break;
        if (record.type == '2') checkTables().extendedAddress = true;
        content.write(offset + record.address, record.data);
    }
    if (!content.saveTo(image)) return -1;
    fillSRecordCheckTables(content, blocks, mode);
    return 0;
}

int ScanSRecordRange(std::FILE* file, int64_t low, int64_t high, int64_t& lowest, int64_t& end) {
    lowest = end = -1;
    if (!file) return -1;
    SRecordReader reader(file);
    if (!reader.readHeader()) return -1;
    SRecord record;
    bool found = false;
    for (;;) {
        const auto step = reader.next(record);
        if (step == SRecordReader::Step::Malformed) {
            lowest = end = -1;  // no partial range from a file that is refused
            return -1;
        }
        if (step == SRecordReader::Step::End) return found ? 0 : -11;
        if (record.type == '6') continue;
        if (record.type == '2') checkTables().extendedAddress = true;
        // The ends as the loaders compute their block counts from them: S1 start + count,
        // S2 start + count - 5.
        const int64_t start = record.address;
        const int64_t recordEnd =
            record.type == '1' ? start + record.count : start + record.count - 5;
        if (start < low || recordEnd > high) continue;
        lowest = found ? std::min(lowest, start) : start;
        end = found ? std::max(end, recordEnd) : recordEnd;
        found = true;
    }
}

}  // namespace quorlink
