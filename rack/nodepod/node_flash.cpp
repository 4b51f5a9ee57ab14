#include "rack/nodepod/node_flash.h"

#include <algorithm>

namespace rack::nodepod {

namespace {

using nodepod_firmware::Hardware;

// Old heads: loader 1 in banks 0-1, the application in 2-6. New heads split loader 1's area into
// four banks (0-3) and the application into 4-8.
std::vector<FlashBank> bankLayout(Hardware hardware) {
    std::vector<FlashBank> loader1 =
        hardware == Hardware::New ? std::vector<FlashBank>{{0xFE000, 0xFFFFF},
                                                           {0xFC000, 0xFDFFF},
                                                           {0xFB000, 0xFBFFF},
                                                           {0xFA000, 0xFAFFF}}
                                  : std::vector<FlashBank>{{0xFE000, 0xFFFFF}, {0xFA000, 0xFDFFF}};
    const std::vector<FlashBank> application{{0xF8000, 0xF9FFF},
                                             {0xF0000, 0xF7FFF},
                                             {0xE0000, 0xEFFFF},
                                             {0xD0000, 0xDFFFF},
                                             {0xC0000, 0xCFFFF}};
    loader1.insert(loader1.end(), application.begin(), application.end());
    return loader1;
}

}  // namespace

NodeFlash::NodeFlash(Hardware hardware)
    : banks_(bankLayout(hardware)), bytes_(kEnd + 1 - kStart, 0xFF) {}

bool NodeFlash::erase(int bank) {
    if (bank < 0 || static_cast<size_t>(bank) >= banks_.size()) return false;
    const FlashBank& b = banks_[static_cast<size_t>(bank)];
    std::fill(bytes_.begin() + (b.first - kStart), bytes_.begin() + (b.last + 1 - kStart), 0xFF);
    return true;
}

bool NodeFlash::program(uint32_t address, const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || !contains(address, address + static_cast<uint32_t>(bytes.size()) - 1))
        return false;
    const size_t offset = address - kStart;
    for (size_t i = 0; i < bytes.size(); ++i)
        if ((bytes_[offset + i] & bytes[i]) != bytes[i]) return false;
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

std::optional<uint32_t> NodeFlash::wordSum(uint32_t first, uint32_t last) const {
    if (!contains(first, last)) return std::nullopt;
    uint32_t sum = 0;
    for (uint32_t a = first; a <= last; a += 2) {
        const uint8_t low = bytes_[a - kStart];
        const uint8_t high = a + 1 <= last ? bytes_[a + 1 - kStart] : 0;
        sum += static_cast<uint32_t>(low | high << 8);
    }
    return sum;
}

void NodeFlash::load(const std::vector<nodepod_firmware::Segment>& segments) {
    for (const auto& s : segments) {
        if (s.data.empty() ||
            !contains(s.address, s.address + static_cast<uint32_t>(s.data.size()) - 1))
            continue;
        std::copy(s.data.begin(), s.data.end(), bytes_.begin() + (s.address - kStart));
    }
}

}  // namespace rack::nodepod
