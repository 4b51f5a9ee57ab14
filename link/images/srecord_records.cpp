#include "link/images/srecord_records.h"

#include "link/images/hex_fields.h"
#include "link/images/record_checksums.h"

namespace quorlink {

namespace {

constexpr size_t kSRecordLineLimit = 49;

// Address width in hex pairs and the bytes the count field covers besides the data.
struct Layout {
    int addressPairs;
    int64_t overhead;
};

}  // namespace

SRecordReader::SRecordReader(std::FILE* file) : lines_(file, kSRecordLineLimit) { std::rewind(file); }

bool SRecordReader::readHeader() {
    return lines_.next(line_) == RecordLines::Result::Line && line_.starts_with("S0") &&
           sRecordChecksumValid(line_);
}

SRecordReader::Step SRecordReader::next(SRecord& record) {
    if (lines_.next(line_) != RecordLines::Result::Line || line_.size() < 2) return Step::Malformed;
    record.type = line_[1];
    if (!sRecordChecksumValid(line_)) return Step::Malformed;
    if (record.type == '8' || record.type == '9') return Step::End;
    if (line_[0] != 'S') return Step::Malformed;
    const auto count = hexField(line_, 2, 1);
    if (!count) return Step::Malformed;
    record.count = *count;
    record.address = 0;
    record.data.clear();
    if (record.type == '6') return Step::Record;
    if (record.type != '1' && record.type != '2') return Step::Malformed;

    const Layout layout = record.type == '1' ? Layout{2, 3} : Layout{3, 4};
    const auto address = hexField(line_, 4, layout.addressPairs);
    if (!address) return Step::Malformed;
    record.address = *address;
    const size_t dataPosition = 4 + 2 * static_cast<size_t>(layout.addressPairs);
    const int64_t dataCount = std::max<int64_t>(record.count - layout.overhead, 0);
    return hexBytes(line_, dataPosition, dataCount, record.data) ? Step::Record : Step::Malformed;
}

}  // namespace quorlink
