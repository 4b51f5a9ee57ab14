#include "link/images/intel_hex_records.h"

#include "link/images/hex_fields.h"
#include "link/images/record_checksums.h"

namespace quorlink {

namespace {

constexpr size_t kIntelHexLineLimit = 189;
constexpr size_t kIntelHexTypePosition = 8;
constexpr size_t kIntelHexDataPosition = 9;

}  // namespace

IntelHexReader::IntelHexReader(std::FILE* file) : lines_(file, kIntelHexLineLimit) { std::rewind(file); }

IntelHexReader::Step IntelHexReader::next(HexDataRecord& record) {
    for (;;) {
        if (lines_.next(line_) != RecordLines::Result::Line || line_.size() <= kIntelHexTypePosition)
            return Step::Malformed;
        const char type = line_[kIntelHexTypePosition];
        if (type < '0' || type > '4' || !intelHexChecksumValid(line_)) return Step::Malformed;
        if (type == '1') return Step::End;
        if (line_[0] != ':') return Step::Malformed;
        if (type == '3') continue;
        if (type == '2' || type == '4') {
            const auto value = hexField(line_, kIntelHexDataPosition, 2);
            if (!value) return Step::Malformed;
            base_ = type == '2' ? *value * 16 : *value * 65536;
            continue;
        }
        const auto count = hexField(line_, 1, 1);
        const auto address = hexField(line_, 3, 2);
        if (!count || !address) return Step::Malformed;
        record.count = *count;
        record.address = base_ + *address;
        return hexBytes(line_, kIntelHexDataPosition, *count, record.data) ? Step::Data : Step::Malformed;
    }
}

}  // namespace quorlink
