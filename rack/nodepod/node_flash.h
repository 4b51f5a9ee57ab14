#pragma once
// A NodePod's flash 0xC0000-0xFFFFF: banks that erase to 0xFF, programming that can only clear
// bits, and the word sum the node reports for its checksum test.
#include <cstdint>
#include <optional>
#include <vector>

#include "rack/nodepod/nodepod_firmware.h"

namespace rack::nodepod {

struct FlashBank {
    uint32_t first = 0;
    uint32_t last = 0;  // inclusive
};

class NodeFlash {
  public:
    explicit NodeFlash(nodepod_firmware::Hardware hardware);

    // Bank numbers count from the top of the flash: loader 1's banks first.
    const std::vector<FlashBank>& banks() const { return banks_; }
    bool erase(int bank);
    // False (and nothing changed) when the range leaves the flash or a bit would go 0 -> 1.
    bool program(uint32_t address, const std::vector<uint8_t>& bytes);
    // Sum of the little-endian 16-bit words of [first, last]; nullopt outside the flash.
    std::optional<uint32_t> wordSum(uint32_t first, uint32_t last) const;

    // Loads firmware as if it had been programmed at the factory (erasing what it covers first).
    void load(const std::vector<nodepod_firmware::Segment>& segments);
    const uint8_t* at(uint32_t address) const { return bytes_.data() + (address - kStart); }
    size_t bytesFrom(uint32_t address) const { return kEnd + 1 - address; }
    static bool contains(int64_t first, int64_t last) {
        return first >= kStart && last <= kEnd && first <= last;
    }

  private:
    static constexpr uint32_t kStart = nodepod_firmware::kFlashStart;
    static constexpr uint32_t kEnd = nodepod_firmware::kFlashEnd;
    std::vector<FlashBank> banks_;
    std::vector<uint8_t> bytes_;
};

}  // namespace rack::nodepod
