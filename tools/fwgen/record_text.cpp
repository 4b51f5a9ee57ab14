#include "tools/fwgen/record_text.h"

#include <numeric>

namespace fwgen::detail {

void appendHex(std::string& out, uint64_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
}

static unsigned byteSum(const std::vector<uint8_t>& bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), 0u);
}

uint8_t onesComplementSum(const std::vector<uint8_t>& bytes) {
    return static_cast<uint8_t>(~byteSum(bytes) & 0xFF);
}

uint8_t twosComplementSum(const std::vector<uint8_t>& bytes) {
    return static_cast<uint8_t>((0x100 - (byteSum(bytes) & 0xFF)) & 0xFF);
}

void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace fwgen::detail
