// Motorola S-records: S0 header, S1 (16-bit) or S2 (24-bit) data, S9 or S8 end record.
#include <algorithm>
#include <stdexcept>

#include "tools/fwgen/fwgen.h"
#include "tools/fwgen/record_text.h"

namespace fwgen {

namespace {

using detail::appendBigEndian;
using detail::appendHex;

// One record line: type, count byte (address + data + checksum), fields, checksum, CR LF.
void appendRecord(std::string& out, char type, uint32_t address, int addressBytes,
                  const uint8_t* data, size_t size) {
    std::vector<uint8_t> fields;
    fields.push_back(static_cast<uint8_t>(addressBytes + size + 1));
    appendBigEndian(fields, address, addressBytes);
    fields.insert(fields.end(), data, data + size);
    out += 'S';
    out += type;
    for (uint8_t byte : fields) appendHex(out, byte, 2);
    appendHex(out, detail::onesComplementSum(fields), 2);
    out += "\r\n";
}

void checkOptions(const SRecordOptions& options) {
    if (options.bytesPerRecord == 0 || options.bytesPerRecord > 250)
        throw std::invalid_argument("S-record data bytes per record must be 1..250");
    if (options.header.size() > 252) throw std::invalid_argument("S0 header text too long");
}

}  // namespace

std::string toSRecord(const std::vector<Segment>& segments, const SRecordOptions& options) {
    checkOptions(options);
    std::string out;
    const auto* header = reinterpret_cast<const uint8_t*>(options.header.data());
    appendRecord(out, '0', 0, 2, header, options.header.size());
    bool usedS2 = false;
    for (const Segment& segment : segments) {
        if (segment.address + uint64_t{segment.data.size()} > 0x1000000)
            throw std::invalid_argument("S-record segment beyond 24-bit addresses");
        for (size_t done = 0; done < segment.data.size(); done += options.bytesPerRecord) {
            const size_t size = std::min(options.bytesPerRecord, segment.data.size() - done);
            const uint32_t address = segment.address + static_cast<uint32_t>(done);
            const bool s2 = options.forceS2 || address + size - 1 > 0xFFFF;
            usedS2 = usedS2 || s2;
            appendRecord(out, s2 ? '2' : '1', address, s2 ? 3 : 2, segment.data.data() + done,
                         size);
        }
    }
    if (usedS2)
        appendRecord(out, '8', 0, 3, nullptr, 0);
    else
        appendRecord(out, '9', 0, 2, nullptr, 0);
    return out;
}

}  // namespace fwgen
