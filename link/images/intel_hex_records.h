#pragma once
// Record-by-record reading of an Intel HEX file for the block-image converter and the scanner.
// Extended segment (02) and extended linear (04) address records set the base that the data
// records' addresses are reported with; start segment records (03) are skipped.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "link/images/record_lines.h"

namespace quorlink {

struct HexDataRecord {
    int64_t address = 0;  // base + the record's 16-bit address
    int64_t count = 0;
    std::vector<uint8_t> data;
};

class IntelHexReader {
  public:
    enum class Step { Data, End, Malformed };

    // Rewinds the file.
    explicit IntelHexReader(std::FILE* file);

    // The next data record up to the end record (01). Malformed: a bad hex pair, a missing or wrong
    // checksum, a type other
    // than 00-04, a line that is too long or (other than the end record) does not start with
    // ":", or the end of the file before the end record.
    Step next(HexDataRecord& record);

  private:
    RecordLines lines_;
    std::string line_;
    int64_t base_ = 0;
};

}  // namespace quorlink
