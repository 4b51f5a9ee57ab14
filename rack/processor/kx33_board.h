#pragma once
// The simulated KX33 processor: its boot loader takes firmware blocks into RAM with a check per
// block, burns them into flash sector by sector and reads flash blocks back.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "rack/core/system_processor.h"
#include "rack/processor/restart_window.h"

namespace rack {

struct Kx33Timing {
    int restartMs = 6000;  // "PRC9,1" until the system answers again
    int sectorMs = 400;    // erase and write of one flash sector
    int blockMs = 0;       // taking one block into RAM
};

class Kx33Board final : public SystemProcessor {
  public:
    static constexpr int kBlockSize = 512;
    static constexpr int kBlocks = 8192;
    static constexpr int kSectorBytes = 0x20000;

    Kx33Board(ProcessorIdentity identity, Kx33Timing timing);
    static std::unique_ptr<Kx33Board> fromJson(const nlohmann::json& config);

    std::optional<Reply> handle(std::string_view line, Rack& rack) override;
    void rackReset(Rack& rack) override;

    bool inBootLoader() const { return bootLoader_; }
    const std::string& flash() const { return flash_; }
    // Copies `bytes` into flash at `offset` (a firmware already in the board).
    void loadFlash(size_t offset, std::string_view bytes);
    // The flashing report of sector `index` (0 = first) names a wrong block, in the next `times`
    // flashings.
    void misreportSector(int index, int times = 1) {
        misreportedSector_ = index;
        misreportTimes_ = times;
    }

  private:
    std::optional<Reply> bootLoaderCommand(std::string_view line, Rack& rack);
    Reply setParameter(std::string_view line);
    Reply takeBlock(std::string_view arguments);
    Reply closeTransfer();
    Reply burn(Rack& rack);
    Reply uploadBlock(std::string_view arguments) const;
    void enterBootLoader(bool on);
    void startSystem();
    bool inRange(int64_t block) const;
    uint16_t flashChecksum() const;

    Kx33Timing timing_;
    RestartWindow restart_;
    std::string flash_;
    bool bootLoader_ = false;
    std::optional<int64_t> firstBlock_;
    std::optional<int64_t> blockCount_;
    uint8_t emptyValue_ = 0xFF;
    std::map<int64_t, std::string> ram_;
    bool transferClosed_ = false;
    int misreportedSector_ = -1;
    int misreportTimes_ = 0;
};

}  // namespace rack
