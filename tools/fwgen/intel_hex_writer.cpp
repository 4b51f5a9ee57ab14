// Intel HEX: data records that never cross a 64 KiB boundary, preceded by extended linear (04)
// or extended segment (02) address records whenever the upper address part changes; 01 end.
#include <algorithm>
#include <stdexcept>

#include "tools/fwgen/fwgen.h"
#include "tools/fwgen/record_text.h"

namespace fwgen {

namespace {

using detail::appendBigEndian;
using detail::appendHex;

void appendRecord(std::string& out, uint8_t type, uint16_t address, const uint8_t* data,
                  size_t size) {
    std::vector<uint8_t> fields;
    fields.push_back(static_cast<uint8_t>(size));
    appendBigEndian(fields, address, 2);
    fields.push_back(type);
    fields.insert(fields.end(), data, data + size);
    out += ':';
    for (uint8_t byte : fields) appendHex(out, byte, 2);
    appendHex(out, detail::twosComplementSum(fields), 2);
    out += "\r\n";
}

// Writes the base record that makes `upper` (address >> 16) current.
void appendBaseRecord(std::string& out, uint32_t upper, HexAddressing addressing) {
    const uint16_t value =
        static_cast<uint16_t>(addressing == HexAddressing::Linear ? upper : upper << 12);
    const uint8_t bytes[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    appendRecord(out, addressing == HexAddressing::Linear ? 4 : 2, 0, bytes, 2);
}

void checkSegment(const Segment& segment, HexAddressing addressing) {
    const uint64_t end = segment.address + uint64_t{segment.data.size()};
    const uint64_t limit = addressing == HexAddressing::Linear ? 0x100000000 : 0x100000;
    if (end > limit) throw std::invalid_argument("Intel HEX segment beyond the addressable range");
}

}  // namespace

std::string toIntelHex(const std::vector<Segment>& segments, const IntelHexOptions& options) {
    if (options.bytesPerRecord == 0 || options.bytesPerRecord > 255)
        throw std::invalid_argument("Intel HEX data bytes per record must be 1..255");
    std::string out;
    uint32_t currentUpper = 0;
    for (const Segment& segment : segments) {
        checkSegment(segment, options.addressing);
        size_t done = 0;
        while (done < segment.data.size()) {
            const uint32_t address = segment.address + static_cast<uint32_t>(done);
            const uint32_t upper = address >> 16;
            const size_t toBoundary = 0x10000 - (address & 0xFFFF);
            const size_t size =
                std::min({options.bytesPerRecord, segment.data.size() - done, toBoundary});
            if (upper != currentUpper) appendBaseRecord(out, upper, options.addressing);
            currentUpper = upper;
            appendRecord(out, 0, static_cast<uint16_t>(address), segment.data.data() + done, size);
            done += size;
        }
    }
    appendRecord(out, 1, 0, nullptr, 0);
    return out;
}

}  // namespace fwgen
