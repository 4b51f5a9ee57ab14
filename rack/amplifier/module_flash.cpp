#include "rack/amplifier/module_flash.h"

#include <algorithm>
#include <numeric>

namespace rack::amplifier {

namespace {

constexpr size_t kSectorFlashBytes = 0x100000;
constexpr size_t kTypeTwoExternalBytes = 4096 * kBlockSize;
constexpr size_t kInternalBytes = 1024 * kBlockSize;
constexpr size_t kOlderSeriesFirst = 72;  // blocks below hold loader 1 of the older series
constexpr size_t kOlderSeriesProtected = 509;

struct BlockRange {
    size_t first;
    size_t count;
};

// Internal banks of types 2 and 4 (type 1 banks are 512 blocks each).
std::optional<BlockRange> bankRange(int type, int bank) {
    if (type == 1) {
        if (bank < 0 || bank > 1) return std::nullopt;
        return BlockRange{static_cast<size_t>(bank) * 512, 512};
    }
    if (bank == 0) return BlockRange{0, 64};
    if (type == 2 && bank >= 1 && bank <= 3) {
        static constexpr BlockRange kBanks[] = {{64, 192}, {256, 256}, {512, 512}};
        return kBanks[bank - 1];
    }
    if (type == 4 && bank >= 1 && bank <= 5) return BlockRange{64 + (bank - 1) * 192u, 192};
    return std::nullopt;
}

}  // namespace

uint32_t sectorStart(int sector) {
    static constexpr uint32_t kSmall[] = {0, 0x4000, 0x6000, 0x8000};
    if (sector < 4) return kSmall[sector];
    return 0x10000u * static_cast<uint32_t>(sector - 3);
}

uint8_t byteSum(const std::vector<uint8_t>& bytes) {
    return static_cast<uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

ModuleFlash::ModuleFlash(int firmwareType, bool externalFlash) : type_(firmwareType) {
    if (type_ != 3) internal_.assign(kInternalBytes, 0xFF);
    if (type_ == 3 || type_ == 4) external_.assign(kSectorFlashBytes, 0xFF);
    if (type_ == 2 && externalFlash) external_.assign(kTypeTwoExternalBytes, 0xFF);
}

bool ModuleFlash::eraseBank(int bank) {
    if (type_ == 3) return bank == 0 && eraseSector(0) && eraseSector(1) && eraseSector(2) &&
                           eraseSector(3);
    const auto range = bankRange(type_, bank);
    if (!range) return false;
    std::fill_n(internal_.begin() + static_cast<long>(range->first * kBlockSize),
                range->count * kBlockSize, 0xFF);
    return true;
}

void ModuleFlash::eraseOlderSeries() {
    for (size_t bank = 0; bank < 2; ++bank) {
        const size_t first = bank * 512 + kOlderSeriesFirst;
        const size_t end = bank * 512 + (bank == 0 ? kOlderSeriesProtected : 256);
        std::fill(internal_.begin() + static_cast<long>(first * kBlockSize),
                  internal_.begin() + static_cast<long>(end * kBlockSize), 0xFF);
    }
}

bool ModuleFlash::eraseSector(int sector) {
    if (sector < 0 || sector > 18 || external_.size() < kSectorFlashBytes) return false;
    const size_t start = sectorStart(sector);
    const size_t end = sector == 18 ? kSectorFlashBytes : sectorStart(sector + 1);
    std::fill(external_.begin() + static_cast<long>(start), external_.begin() + static_cast<long>(end),
              0xFF);
    return true;
}

void ModuleFlash::eraseExternal() { std::fill(external_.begin(), external_.end(), 0xFF); }

std::vector<uint8_t> ModuleFlash::program(std::vector<uint8_t>& memory, size_t offset,
                                          const std::vector<uint8_t>& data) {
    std::vector<uint8_t> now(data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        memory[offset + i] &= data[i];
        now[i] = memory[offset + i];
    }
    return now;
}

std::vector<uint8_t>& ModuleFlash::blockMemory() { return type_ == 3 ? external_ : internal_; }

std::vector<uint8_t> ModuleFlash::programBlock(size_t block, const std::vector<uint8_t>& data) {
    auto& memory = blockMemory();
    if ((block + 1) * kBlockSize > memory.size()) return {};
    if (type_ == 1 && block >= kOlderSeriesProtected && block < 512) {
        // The older series keeps its vector blocks: nothing is written, the check shows it.
        return {memory.begin() + static_cast<long>(block * kBlockSize),
                memory.begin() + static_cast<long>((block + 1) * kBlockSize)};
    }
    return program(memory, block * kBlockSize, data);
}

std::vector<uint8_t> ModuleFlash::programPair(size_t pair, const std::vector<uint8_t>& first,
                                              const std::vector<uint8_t>& second) {
    const size_t offset = pair * 2 * kBlockSize;
    if (offset + 2 * kBlockSize > external_.size()) return {};
    auto now = program(external_, offset, first);
    const auto rest = program(external_, offset + kBlockSize, second);
    now.insert(now.end(), rest.begin(), rest.end());
    externalUsed_ = std::max(externalUsed_, pair * 2 + 2);
    return now;
}

std::optional<std::vector<uint8_t>> ModuleFlash::internalBlock(size_t block) const {
    if ((block + 1) * kBlockSize > internal_.size()) return std::nullopt;
    return std::vector<uint8_t>(internal_.begin() + static_cast<long>(block * kBlockSize),
                                internal_.begin() + static_cast<long>((block + 1) * kBlockSize));
}

std::optional<std::vector<uint8_t>> ModuleFlash::externalBlock(size_t block) const {
    if ((block + 1) * kBlockSize > external_.size()) return std::nullopt;
    return std::vector<uint8_t>(external_.begin() + static_cast<long>(block * kBlockSize),
                                external_.begin() + static_cast<long>((block + 1) * kBlockSize));
}

void ModuleFlash::load(bool external, size_t offset, const std::vector<uint8_t>& bytes) {
    auto& memory = external ? external_ : internal_;
    if (offset >= memory.size()) return;
    const size_t count = std::min(bytes.size(), memory.size() - offset);
    std::copy_n(bytes.begin(), count, memory.begin() + static_cast<long>(offset));
    if (external) externalUsed_ = std::max(externalUsed_, (offset + count + kBlockSize - 1) / kBlockSize);
}

std::optional<std::string> ModuleFlash::embeddedIdentity() const {
    static constexpr std::string_view kMarker = "@(#)";
    const auto& memory = type_ == 3 ? external_ : internal_;
    const auto found = std::search(memory.begin(), memory.end(), kMarker.begin(), kMarker.end());
    if (found == memory.end()) return std::nullopt;
    std::string text;
    for (auto it = found + static_cast<long>(kMarker.size()); it != memory.end() && *it != 0 &&
                                                              *it != 0xFF && text.size() < 100;
         ++it)
        text += static_cast<char>(*it);
    return text;
}

}  // namespace rack::amplifier
