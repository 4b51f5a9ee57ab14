#pragma once
// The flash of one amplifier module: internal banks (types 1, 2, 4) and a sector flash (the
// whole memory of type 3, the external data flash of types 2 and 4). Erased bytes are 0xFF;
// programming can only clear bits, so a block written into unerased flash reads back wrong.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rack::amplifier {

constexpr size_t kBlockSize = 128;

class ModuleFlash {
public:
    ModuleFlash(int firmwareType, bool externalFlash);

    // Internal banks: type 1 banks 0/1 are 512 blocks each; types 2 and 4 have bank 0 = the
    // loader-1 area (blocks 0-63) and the application banks above it.
    bool eraseBank(int bank);
    // Type 1's select command erases what its loader 2 may program.
    void eraseOlderSeries();
    // Sector flash: sectors 0-18 (0, 0x4000, 0x6000, 0x8000, then 0x10000 steps).
    bool eraseSector(int sector);
    void eraseExternal();

    // Programs one block of the block-addressed memory (internal, or the sector flash of type 3)
    // and returns the bytes now in flash.
    std::vector<uint8_t> programBlock(size_t block, const std::vector<uint8_t>& data);
    // Programs blocks 2 * pair and 2 * pair + 1 of the sector flash.
    std::vector<uint8_t> programPair(size_t pair, const std::vector<uint8_t>& first,
                                     const std::vector<uint8_t>& second);

    std::optional<std::vector<uint8_t>> internalBlock(size_t block) const;
    std::optional<std::vector<uint8_t>> externalBlock(size_t block) const;
    size_t internalBlocks() const { return internal_.size() / kBlockSize; }
    size_t externalBlocks() const { return external_.size() / kBlockSize; }
    // One past the highest external block ever programmed (what an upload delivers).
    size_t externalUsedBlocks() const { return externalUsed_; }
    bool hasExternal() const { return !external_.empty(); }

    // Fills memory directly (rack file or tests): the module's firmware before any download.
    void load(bool external, size_t offset, const std::vector<uint8_t>& bytes);
    // The identity text embedded in the application ("@(#)" + text + NUL), if any.
    std::optional<std::string> embeddedIdentity() const;

    const std::vector<uint8_t>& internal() const { return internal_; }
    const std::vector<uint8_t>& external() const { return external_; }

private:
    std::vector<uint8_t>& blockMemory();
    static std::vector<uint8_t> program(std::vector<uint8_t>& memory, size_t offset,
                                        const std::vector<uint8_t>& data);

    int type_;
    std::vector<uint8_t> internal_;
    std::vector<uint8_t> external_;
    size_t externalUsed_ = 0;
};

// Start address of sector 0-18 of the sector flash.
uint32_t sectorStart(int sector);
uint8_t byteSum(const std::vector<uint8_t>& bytes);

}  // namespace rack::amplifier
