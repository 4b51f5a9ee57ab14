// Loader 2's block programming: target address, data, program one block or a pair, and the
// running total of everything programmed since the erase.
#include "rack/amplifier/amplifier_module.h"

namespace rack::amplifier {

namespace {

constexpr size_t kLoader1AreaBlocks = 64;

std::vector<uint8_t> resolved(const std::optional<std::vector<uint8_t>>& data, uint8_t empty) {
    return data ? *data : std::vector<uint8_t>(kBlockSize, empty);
}

}  // namespace

void AmplifierModule::receiveBlockAddress(size_t block) { targetBlock_ = block; }

void AmplifierModule::receiveBlockData(std::optional<std::vector<uint8_t>> data) {
    pending_.push_back(std::move(data));
    if (pending_.size() > 2) pending_.erase(pending_.begin());
}

std::vector<uint8_t> AmplifierModule::programLastBlock() {
    if (pending_.empty()) return {};
    auto now = flash_.programBlock(targetBlock_,
                                   resolved(pending_.back(), config_.firmwareType == 4 ? 0x00 : 0xFF));
    pending_.clear();
    if (now.empty()) return now;
    ++blocksSinceErase_;
    const bool protectedBlock = config_.firmwareType == 1 && targetBlock_ >= 509 && targetBlock_ < 512;
    if (targetBlock_ >= kLoader1AreaBlocks && !protectedBlock) programmedBlocks_.insert(targetBlock_);
    return now;
}

std::vector<uint8_t> AmplifierModule::programLastPair() {
    if (pending_.size() < 2) return {};
    auto now = flash_.programPair(targetBlock_, resolved(pending_[0], 0xFF), resolved(pending_[1], 0xFF));
    pending_.clear();
    if (now.empty()) return now;
    ++blocksSinceErase_;
    programmedPairs_.insert(targetBlock_);
    return now;
}

uint8_t AmplifierModule::runningTotal() const {
    const bool wholeMemory = config_.firmwareType == 3;
    uint8_t total = 0;
    for (size_t block : programmedBlocks_) {
        const auto bytes = wholeMemory ? flash_.externalBlock(block) : flash_.internalBlock(block);
        if (bytes) total = static_cast<uint8_t>(total + byteSum(*bytes));
    }
    for (size_t pair : programmedPairs_)
        for (size_t block : {pair * 2, pair * 2 + 1})
            if (const auto bytes = flash_.externalBlock(block)) total = static_cast<uint8_t>(total + byteSum(*bytes));
    return total;
}

}  // namespace rack::amplifier
