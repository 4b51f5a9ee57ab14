#pragma once
// The test-firmware writer: byte images with addresses into Motorola S-record and Intel HEX
// text. Written independently of the library's readers so that round trips catch faults in both.
#include <cstdint>
#include <string>
#include <vector>

namespace fwgen {

struct Segment {
    uint32_t address = 0;
    std::vector<uint8_t> data;
};

struct SRecordOptions {
    std::string header = "fwgen";  // S0 record text
    size_t bytesPerRecord = 16;    // at most 18 (S1) or 17 (S2) keeps lines within the readers' limit
    bool forceS2 = false;          // S2 even for addresses below 0x10000 (S2 is used above anyway)
};

enum class HexAddressing { Linear, Segment };

struct IntelHexOptions {
    size_t bytesPerRecord = 16;  // at most 32 keeps lines within the readers' limits
    HexAddressing addressing = HexAddressing::Linear;
};

// S0 header, S1/S2 data records, S9 (or S8 after S2 data) end record; CR LF line ends.
std::string toSRecord(const std::vector<Segment>& segments, const SRecordOptions& options = {});
// Data records, type 04 (linear) or 02 (segment) base records as needed, 01 end record.
std::string toIntelHex(const std::vector<Segment>& segments, const IntelHexOptions& options = {});

// Writes `text` to `path` through a temporary file in the same directory, then renames it.
void writeFileAtomically(const std::string& path, const std::string& text);

}  // namespace fwgen
