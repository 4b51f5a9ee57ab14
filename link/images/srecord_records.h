#pragma once
// Record-by-record reading of a Motorola S-record file, shared by the converter and the scanner.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "link/images/record_lines.h"

namespace quorlink {

struct SRecord {
    char type = 0;      // '1', '2' or '6'
    int64_t count = 0;  // the record's count field
    int64_t address = 0;
    std::vector<uint8_t> data;
};

class SRecordReader {
  public:
    enum class Step { Record, End, Malformed };

    // Rewinds the file.
    explicit SRecordReader(std::FILE* file);

    // The first line must be an S0 record. Every record's checksum is verified.
    bool readHeader();
    // The next record up to the S8/S9 end record, with its data bytes decoded.
    // Malformed: a bad hex pair, a missing or wrong checksum, an unknown type, a line that is too long or does not start with
    // "S", or the end of the file before the end record.
    Step next(SRecord& record);

  private:
    RecordLines lines_;
    std::string line_;
};

}  // namespace quorlink
