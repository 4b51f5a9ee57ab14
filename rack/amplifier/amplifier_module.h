#pragma once
// A simulated amplifier module in one slot: its application (channel selection, settings), its
// loader 1 (identification, activation, receiving loader 2) and its loader 2 (erase, block
// programming with check values, totals, upload, start, establish).
#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "rack/amplifier/module_config.h"
#include "rack/amplifier/module_flash.h"
#include "rack/core/component.h"

namespace rack::amplifier {

class AmplifierModule : public Component {
public:
    AmplifierModule(ModuleConfig config, int slot);

    std::string name() const override { return config_.model; }
    std::optional<Reply> handle(std::string_view line, Rack& rack) override;
    void rackReset(Rack& rack) override;

    // -- inspection
    int slot() const { return slot_; }
    int loaderAddress() const { return slot_ + 1; }
    Layer layer() const { return layer_; }
    const ModuleConfig& config() const { return config_; }
    ModuleConfig& config() { return config_; }
    const ModuleFlash& flash() const { return flash_; }
    ModuleFlash& flash() { return flash_; }
    std::string identity() const;
    std::string loader2Identity() const { return loader2Identity_; }
    const std::vector<std::string>& channelNames() const { return channelNames_; }
    void setChannelName(size_t subChannel, std::string name);
    bool canDatabasePart(int part) const { return canDatabase_[static_cast<size_t>(part - 1)]; }
    bool established() const { return established_; }
    bool applicationValid() const { return applicationValid_; }
    bool loader1Activated() const { return activated_; }
    // Sum of what the blocks programmed since the erase hold now (a block programmed twice counts once).
    uint8_t runningTotal() const;
    bool loader1Damaged() const { return loader1Damaged_; }
    void damageLoader1() { loader1Damaged_ = true; }
    bool rebuildingLoader1() const { return rebuildingLoader1_; }

    // -- what the rack-wide handling (module_bus) uses
    bool runsApplication() const { return layer_ == Layer::Application; }
    bool participating() const { return participating_; }
    std::optional<Reply> applicationCommand(std::string_view line, bool answering);
    void receiveBlockAddress(size_t block);
    // An empty block ("D" without data) is all erased bytes; for a type-4 main block all zero.
    void receiveBlockData(std::optional<std::vector<uint8_t>> data);
    std::vector<uint8_t> programLastBlock();
    std::vector<uint8_t> programLastPair();
    void receiveLoader2Data(const std::vector<uint8_t>& data);
    bool takesLoader2Data() const { return layer_ == Layer::Loader1 && activated_; }
    void leaveSession() { participating_ = false; }
    size_t blocksSinceErase() const { return blocksSinceErase_; }
    void eraseExternalForSession();

    // Loader commands addressed to this module ("I", "K", "A", "S", "X", "L", "H", "C", "Z",
    // "Q", "U"); `group` is 2, 3, 6 or 7.
    std::optional<Reply> loaderCommand(int group, char command, std::string_view fields, Rack& rack);

private:
    std::optional<Reply> identify(int group);
    Reply nextIdentityCharacter();
    Reply activate(std::string_view fields);
    Reply startLoader2();
    Reply start(std::string_view fields);
    Reply eraseBank(std::string_view fields, Rack& rack);
    Reply eraseSector(std::string_view fields);
    Reply selectOlderSeries(std::string_view fields, Rack& rack);
    Reply totalCheck();
    Reply establish(std::string_view fields);
    Reply upload(std::string_view fields);
    void beginSession(Rack& rack);
    void startApplicationFromFlash();

    ModuleConfig config_;
    int slot_;
    Layer layer_;
    ModuleFlash flash_;
    std::optional<std::string> runningIdentity_;  // the identity of the application running now

    // application settings
    int subChannels_;
    int pendingSubChannels_;
    int selectedSubChannel_ = 1;  // 0 = all sub-channels
    std::vector<std::string> channelNames_;
    std::array<bool, 2> canDatabase_{};

    // loaders
    bool activated_ = false;
    bool loader1Damaged_ = false;
    bool lostPower_ = false;
    bool rebuildingLoader1_ = false;
    std::vector<uint8_t> loader2Image_;
    std::string loader2Identity_;
    std::string identification_;  // text the "K" queries walk through
    size_t identificationIndex_ = 0;

    // loader 2 programming
    bool participating_ = false;
    bool applicationValid_ = true;
    bool established_ = true;
    size_t targetBlock_ = 0;
    std::vector<std::optional<std::vector<uint8_t>>> pending_;  // the last two data blocks
    std::set<size_t> programmedBlocks_;  // block memory, above the loader-1 area
    std::set<size_t> programmedPairs_;
    size_t blocksSinceErase_ = 0;
};

}  // namespace rack::amplifier
