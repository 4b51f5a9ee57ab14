#include "rack/nodepod/simulated_node.h"

#include <numeric>

namespace rack::nodepod {

namespace {

namespace fw = nodepod_firmware;

constexpr uint32_t kRamStart = 0x400;
constexpr uint32_t kRamEnd = 0x20000;  // first address past the RAM
constexpr size_t kPacketBytes = 64;
constexpr size_t kGroupBytes = 256;
constexpr uint32_t kMaxChecksumWindow = 0x8000;

const std::optional<NodeAnswer> kSilent = std::nullopt;
NodeAnswer accepted(int delayMs = 0) { return {"0", delayMs}; }
NodeAnswer refused() { return {"?", 0}; }
NodeAnswer text(std::string value) { return {std::move(value), 0}; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // the loaders take upper-case digits only
}

// The 64 bytes of a packet line, or nullopt when its length field or digits are wrong.
std::optional<std::vector<uint8_t>> packetBytes(const NodeCommandLine& c) {
    if (c.numbers.size() != 2 || c.numbers[1] != static_cast<int64_t>(kPacketBytes) ||
        c.text.size() != 2 * kPacketBytes)
        return std::nullopt;
    std::vector<uint8_t> bytes(kPacketBytes);
    for (size_t i = 0; i < kPacketBytes; ++i) {
        const int high = hexDigit(c.text[2 * i]);
        const int low = hexDigit(c.text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return bytes;
}

bool is(const NodeCommandLine& c, bool query, int sub, size_t numbers) {
    return c.query == query && c.sub == sub && c.numbers.size() == numbers;
}

}  // namespace

SimulatedNode::SimulatedNode(NodeIdentity identity, NodeFlash flash)
    : identity_(std::move(identity)), flash_(std::move(flash)) {
    powerOn();
}

bool SimulatedNode::applicationValid() const {
    return fw::readApplicationHeader(flash_.at(fw::kFlashStart), flash_.bytesFrom(fw::kFlashStart))
        .valid;
}

bool SimulatedNode::loader1Valid() const {
    return !fw::readLoader1Version(flash_.at(fw::kLoader1Start),
                                   flash_.bytesFrom(fw::kLoader1Start))
                .empty();
}

void SimulatedNode::powerOn() {
    const auto header =
        fw::readApplicationHeader(flash_.at(fw::kFlashStart), flash_.bytesFrom(fw::kFlashStart));
    const uint32_t restartEntry =
        fw::readRestartEntry(flash_.at(fw::kRestartVector), flash_.bytesFrom(fw::kRestartVector));
    NodeProgram next = NodeProgram::Crashed;
    if (header.valid && restartEntry != 0 && restartEntry == header.entry)
        next = NodeProgram::Application;
    else if (loader1Valid())
        next = NodeProgram::Loader1;
    restart(next, 0, busyUntil_);
    busyUntil_ = {};
}

void SimulatedNode::holdInLoader1() { restart(NodeProgram::Loader1, 0, busyUntil_); }

void SimulatedNode::runLoader2(std::string version) {
    restart(NodeProgram::Loader2, 0, busyUntil_);
    loader2Version_ = std::move(version);
}

void SimulatedNode::restart(NodeProgram program, int ms, time_point now) {
    program_ = program;
    busyUntil_ = now + std::chrono::milliseconds(ms);
    receiving_ = false;
    if (program != NodeProgram::Loader2) ram_.clear();
    groupAddress_.reset();
    group_.clear();
    checksumWindow_.reset();
}

std::optional<NodeAnswer> SimulatedNode::handle(const NodeCommandLine& c, time_point now) {
    if (program_ == NodeProgram::Crashed || now < busyUntil_) return kSilent;
    switch (program_) {
        case NodeProgram::Application:
            if (auto answer = application(c)) return answer;
            break;
        case NodeProgram::Loader1:
            if (auto answer = loader1(c, now)) return answer;
            break;
        case NodeProgram::Loader2:
            if (auto answer = loader2(c, now)) return answer;
            break;
        case NodeProgram::Crashed:
            return kSilent;
    }
    if (auto answer = common(c, now)) return answer;
    return refused();
}

std::optional<NodeAnswer> SimulatedNode::common(const NodeCommandLine& c, time_point now) {
    if (is(c, true, 4, 1)) return text(identity_.hardwareRevision);
    if (is(c, true, 5, 1)) return text(std::to_string(identity_.serialNumber));
    if (is(c, false, 2, 1)) {
        restart(loader1Valid() ? NodeProgram::Loader1 : NodeProgram::Crashed, timing_.resetMs, now);
        return accepted();
    }
    return kSilent;
}

std::optional<NodeAnswer> SimulatedNode::application(const NodeCommandLine& c) {
    const auto header =
        fw::readApplicationHeader(flash_.at(fw::kFlashStart), flash_.bytesFrom(fw::kFlashStart));
    if (is(c, true, 1, 1)) return text(std::to_string(identity_.typeNumber));
    if (is(c, true, 2, 1)) return text(header.name);
    if (is(c, true, 3, 1)) return text(header.version);
    return kSilent;
}

std::optional<NodeAnswer> SimulatedNode::loader1(const NodeCommandLine& c, time_point now) {
    if (is(c, true, 11, 1)) return text(std::to_string(identity_.typeNumber));
    if (is(c, true, 6, 1))
        return text(fw::readLoader1Version(flash_.at(fw::kLoader1Start),
                                           flash_.bytesFrom(fw::kLoader1Start)));
    if (is(c, false, 11, 2)) {
        const int64_t base = c.numbers[1];
        if (base < kRamStart || base >= kRamEnd) return refused();
        receiving_ = true;
        ramBase_ = static_cast<uint32_t>(base);
        ram_.clear();
        return accepted();
    }
    if (!c.query && c.sub == 30) return receiveIntoRam(c);
    if (is(c, false, 12, 2)) return startLoader2(c, now);
    if (is(c, false, 24, 2)) return jump(c.numbers[1], now);
    return kSilent;
}

std::optional<NodeAnswer> SimulatedNode::loader2(const NodeCommandLine& c, time_point now) {
    if (is(c, true, 21, 1)) return text(loader2Version_);
    if (is(c, false, 21, 2)) return erase(c);
    if (is(c, false, 22, 2)) return selectGroup(c);
    if (!c.query && c.sub == 30) return receiveIntoGroup(c);
    if (is(c, false, 23, 2)) return programGroup(c);
    if (is(c, false, 25, 3)) return setChecksumWindow(c);
    if (is(c, true, 25, 1)) return checksum();
    if (is(c, false, 24, 2)) return jump(c.numbers[1], now);
    return kSilent;
}

std::optional<NodeAnswer> SimulatedNode::receiveIntoRam(const NodeCommandLine& c) {
    const auto bytes = packetBytes(c);
    if (!receiving_ || !bytes || ramBase_ + ram_.size() + kPacketBytes > kRamEnd) return refused();
    ram_.insert(ram_.end(), bytes->begin(), bytes->end());
    return accepted();
}

// Loader 2 starts only from where it was received, when it is whole and built for this hardware.
std::optional<NodeAnswer> SimulatedNode::startLoader2(const NodeCommandLine& c, time_point now) {
    const auto header = fw::readLoader2(ram_.data(), ram_.size());
    const bool fits = header.valid && receiving_ && c.numbers[1] == ramBase_ &&
                      header.linkAddress == ramBase_ &&
                      header.hardware == fw::hardwareOfRevision(identity_.hardwareRevision);
    if (!fits) return refused();
    restart(NodeProgram::Loader2, timing_.startLoaderMs, now);
    loader2Version_ = header.version;
    return accepted();
}

// The jump is confirmed before it is taken; a jump to where nothing runs crashes the head.
std::optional<NodeAnswer> SimulatedNode::jump(int64_t address, time_point now) {
    const auto header =
        fw::readApplicationHeader(flash_.at(fw::kFlashStart), flash_.bytesFrom(fw::kFlashStart));
    if (address == fw::kLoader1Entry && loader1Valid())
        restart(NodeProgram::Loader1, timing_.startLoaderMs, now);
    else if (header.valid && address == header.entry)
        restart(NodeProgram::Application, timing_.startApplicationMs, now);
    else
        restart(NodeProgram::Crashed, 0, now);
    return accepted();
}

std::optional<NodeAnswer> SimulatedNode::erase(const NodeCommandLine& c) {
    const int64_t bank = c.numbers[1];
    if (bank < 0 || bank >= static_cast<int64_t>(flash_.banks().size())) return refused();
    const FlashBank& b = flash_.banks()[static_cast<size_t>(bank)];
    flash_.erase(static_cast<int>(bank));
    const int ms = static_cast<int>((b.last + 1 - b.first) / 0x2000) * timing_.eraseMsPer8K;
    return accepted(ms);
}

std::optional<NodeAnswer> SimulatedNode::selectGroup(const NodeCommandLine& c) {
    const int64_t block = c.numbers[1];
    const int64_t address = block >= 0 && block < 0x10000 ? block * 256 : -1;
    group_.clear();
    groupAddress_.reset();
    if (!NodeFlash::contains(address, address + static_cast<int64_t>(kGroupBytes) - 1))
        return refused();
    groupAddress_ = static_cast<uint32_t>(address);
    return accepted();
}

std::optional<NodeAnswer> SimulatedNode::receiveIntoGroup(const NodeCommandLine& c) {
    const auto bytes = packetBytes(c);
    if (!groupAddress_ || !bytes || group_.size() + kPacketBytes > kGroupBytes) return refused();
    group_.insert(group_.end(), bytes->begin(), bytes->end());
    return accepted();
}

std::optional<NodeAnswer> SimulatedNode::programGroup(const NodeCommandLine& c) {
    const auto address = groupAddress_;
    std::vector<uint8_t> bytes;
    bytes.swap(group_);
    groupAddress_.reset();
    if (!address || bytes.size() != kGroupBytes) return refused();
    const unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0u) % 256;
    if (c.numbers[1] != static_cast<int64_t>(sum)) return refused();
    if (!flash_.program(*address, bytes)) return refused();
    return accepted();
}

std::optional<NodeAnswer> SimulatedNode::setChecksumWindow(const NodeCommandLine& c) {
    const int64_t first = c.numbers[1];
    const int64_t last = c.numbers[2];
    checksumWindow_.reset();
    if (last - first >= kMaxChecksumWindow || !NodeFlash::contains(first, last)) return refused();
    checksumWindow_ = {static_cast<uint32_t>(first), static_cast<uint32_t>(last)};
    return accepted();
}

std::optional<NodeAnswer> SimulatedNode::checksum() const {
    if (!checksumWindow_) return refused();
    const auto sum = flash_.wordSum(checksumWindow_->first, checksumWindow_->second);
    return text(std::to_string(*sum));
}

}  // namespace rack::nodepod
