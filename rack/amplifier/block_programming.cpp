// Loader 2's block programming: target address, data, program one block or a pair, and the
// running total of everything programmed since the erase.
#include "rack/amplifier/amplifier_module.h"

namespace rack::amplifier {

namespace {
constexpr size_t kLoader1AreaBlocks = 64;
}

void AmplifierModule::receiveBlockAddress(size_t block) { targetBlock_ = block; }

void AmplifierModule::receiveBlockData(std::vector<uint8_t> data) {
    pending_.push_back(std::move(data));
    if (pending_.size() > 2) pending_.erase(pending_.begin());
}

std::vector<uint8_t> AmplifierModule::programLastBlock() {
    if (pending_.empty()) return {};
    auto now = flash_.programBlock(targetBlock_, pending_.back());
    pending_.clear();
    if (now.empty()) return now;
    ++blocksSinceErase_;
    const bool protectedBlock = config_.firmwareType == 1 && targetBlock_ >= 509 && targetBlock_ < 512;
    if (targetBlock_ >= kLoader1AreaBlocks && !protectedBlock)
        runningTotal_ = static_cast<uint8_t>(runningTotal_ + byteSum(now));
    return now;
}

std::vector<uint8_t> AmplifierModule::programLastPair() {
    if (pending_.size() < 2) return {};
    auto now = flash_.programPair(targetBlock_, pending_[0], pending_[1]);
    pending_.clear();
    if (now.empty()) return now;
    ++blocksSinceErase_;
    runningTotal_ = static_cast<uint8_t>(runningTotal_ + byteSum(now));
    return now;
}

}  // namespace rack::amplifier
