#include "rack/panel/c167_bootstrap.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace rack::panel {

namespace {

constexpr std::string_view kFirstStageMarker = "QLD1";
constexpr std::string_view kProgramMarker = "QPRG";
constexpr uint8_t kBlockSizeMarker = 0x40;
constexpr uint16_t kEmptyBlock = 0x8000;
constexpr uint16_t kClosing = 0x2000;
const std::string kAccepted(1, '\0');
const std::string kRefused(1, '\x01');

bool startsWith(const std::vector<uint8_t>& bytes, std::string_view marker) {
    return bytes.size() >= marker.size() && std::equal(marker.begin(), marker.end(), bytes.begin());
}

uint8_t sum(const std::vector<uint8_t>& bytes) {
    return static_cast<uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

}  // namespace

C167Bootstrap::C167Bootstrap(BootstrapSettings settings, std::vector<uint8_t>& flash)
    : settings_(std::move(settings)), flash_(flash) {}

void C167Bootstrap::restart() {
    ++restarts_;
    stage_ = Stage::WaitZero;
    pending_.clear();
    data_.clear();
}

std::string C167Bootstrap::take(std::string_view bytes) {
    std::string answer;
    for (char c : bytes) answer += takeByte(static_cast<uint8_t>(c));
    return answer;
}

std::string C167Bootstrap::takeByte(uint8_t byte) {
    switch (stage_) {
        case Stage::WaitZero:
            if (byte != 0) return {};
            stage_ = Stage::FirstStage;
            pending_.clear();
            return std::string(1, static_cast<char>(settings_.identification));
        case Stage::ProgramLength:
            expected_ = static_cast<size_t>(byte) * 2;
            pending_.clear();
            stage_ = expected_ ? Stage::Program : Stage::Halted;
            return {};
        case Stage::Finished:
        case Stage::Halted:
            return {};
        default:
            break;
    }
    pending_.push_back(byte);
    switch (stage_) {
        case Stage::FirstStage:
            return pending_.size() == kFirstStageBytes ? onFirstStage() : std::string();
        case Stage::Program:
            return pending_.size() == expected_ ? onProgram() : std::string();
        case Stage::BlockSize:
            return pending_.size() == 3 ? onBlockSize() : std::string();
        case Stage::Header:
            return pending_.size() == 2 ? onHeader() : std::string();
        case Stage::Data:
            if (pending_.size() == blockSize_) {
                data_ = std::move(pending_);
                pending_.clear();
                stage_ = Stage::Check;
            }
            return {};
        case Stage::Check:
            return onCheck();
        default:
            return {};
    }
}

// A first-stage loader that is not ours runs off into nowhere: the controller falls silent.
std::string C167Bootstrap::onFirstStage() {
    stage_ = startsWith(pending_, kFirstStageMarker) ? Stage::ProgramLength : Stage::Halted;
    pending_.clear();
    return {};
}

std::string C167Bootstrap::onProgram() {
    stage_ = startsWith(pending_, kProgramMarker) ? Stage::BlockSize : Stage::Halted;
    pending_.clear();
    return {};
}

std::string C167Bootstrap::onBlockSize() {
    const uint8_t low = pending_[0];
    const uint8_t high = pending_[1];
    const bool good = static_cast<uint8_t>(low + high) == pending_[2] && (high & kBlockSizeMarker);
    pending_.clear();
    const size_t announced = static_cast<size_t>(low) | (static_cast<size_t>(high & 0x3F) << 8);
    if (!good || announced < 2) return kRefused;
    blockSize_ = announced - 1;
    stage_ = Stage::Header;
    return kAccepted;
}

std::string C167Bootstrap::onHeader() {
    const auto value = static_cast<uint16_t>(pending_[0] | (pending_[1] << 8));
    headerSum_ = static_cast<uint8_t>(pending_[0] + pending_[1]);
    pending_.clear();
    if (value == kClosing) {
        ++closedRuns_;
        stage_ = Stage::Finished;
        return {};
    }
    emptyBlock_ = (value & kEmptyBlock) != 0;
    block_ = static_cast<int>(value & ~kEmptyBlock) - 1;
    if (block_ < 0 || static_cast<size_t>(block_ + 1) * blockSize_ > flash_.size()) return kRefused;
    stage_ = emptyBlock_ ? Stage::Check : Stage::Data;
    if (emptyBlock_) data_.assign(blockSize_, 0);
    return kAccepted;
}

std::string C167Bootstrap::onCheck() {
    const uint8_t check = pending_[0];
    pending_.clear();
    stage_ = Stage::Header;
    const uint8_t expected = static_cast<uint8_t>(headerSum_ + (emptyBlock_ ? 0 : sum(data_)));
    if (check != expected || settings_.refusedBlocks.count(block_)) return kRefused;
    std::copy(
        data_.begin(), data_.end(),
        flash_.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(block_) * blockSize_));
    written_.push_back(block_);
    return kAccepted;
}

}  // namespace rack::panel
