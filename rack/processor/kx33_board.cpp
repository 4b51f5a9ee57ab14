#include "rack/processor/kx33_board.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "rack/core/rack.h"
#include "rack/processor/firmware_version.h"
#include "rack/processor/hex_text.h"

namespace rack {

namespace {

std::optional<int64_t> number(std::string_view text) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

uint64_t byteSum(std::string_view bytes) {
    uint64_t sum = 0;
    for (const char c : bytes) sum += static_cast<uint8_t>(c);
    return sum;
}

uint16_t onesComplement(uint64_t sum) { return static_cast<uint16_t>(~sum & 0xFFFF); }

Reply numberLine(int64_t value) { return Reply::line(std::to_string(value)); }

}  // namespace

Kx33Board::Kx33Board(ProcessorIdentity identity, Kx33Timing timing)
    : SystemProcessor(std::move(identity)),
      timing_(timing),
      flash_(static_cast<size_t>(kBlocks) * kBlockSize, '\xFF') {}

std::unique_ptr<Kx33Board> Kx33Board::fromJson(const nlohmann::json& config) {
    Kx33Timing timing;
    timing.restartMs = config.value("restartMs", timing.restartMs);
    timing.sectorMs = config.value("sectorMs", timing.sectorMs);
    timing.blockMs = config.value("blockMs", timing.blockMs);
    auto id = ProcessorIdentity::fromJson(config);
    if (!config.contains("identity")) id.identity = "QTX,KX33,0," + id.version;
    return std::make_unique<Kx33Board>(std::move(id), timing);
}

void Kx33Board::loadFlash(size_t offset, std::string_view bytes) {
    if (offset >= flash_.size()) return;
    const size_t length = std::min(bytes.size(), flash_.size() - offset);
    flash_.replace(offset, length, bytes.substr(0, length));
}

std::optional<Reply> Kx33Board::handle(std::string_view line, Rack& rack) {
    if (!powered() || restart_.active(rack)) return Reply::none();
    if (line == "PRC300,1" || line == "PRC300,0") {
        enterBootLoader(line.back() == '1');
        return Reply::accepted();
    }
    if (line == "PRC9,1") {
        // The system restarts at once and says nothing.
        restart_.begin(rack, timing_.restartMs);
        enterBootLoader(false);
        startSystem();
        return Reply::none();
    }
    // The loader's commands are refused while the system runs.
    if (auto reply = bootLoaderCommand(line, rack)) return bootLoader_ ? reply : Reply::refused();
    return SystemProcessor::handle(line, rack);
}

std::optional<Reply> Kx33Board::bootLoaderCommand(std::string_view line, Rack& rack) {
    if (line.starts_with("PRC301,") || line.starts_with("PRC302,") || line.starts_with("PRC303,"))
        return setParameter(line);
    if (line.starts_with("PRC310,")) return takeBlock(line.substr(7));
    if (line == "PRC304") return closeTransfer();
    if (line == "PRC?304") {
        uint64_t sum = 0;
        for (const auto& [block, bytes] : ram_) sum += byteSum(bytes);
        return numberLine(onesComplement(sum));
    }
    if (line == "PRC305") return burn(rack);
    if (line == "PRC?308") return numberLine(flashChecksum());
    if (line.starts_with("PRC?310,")) return uploadBlock(line.substr(8));
    return std::nullopt;
}

void Kx33Board::enterBootLoader(bool on) {
    bootLoader_ = on;
    firstBlock_.reset();
    blockCount_.reset();
    ram_.clear();
    transferClosed_ = false;
}

// The system runs the firmware in flash and names its version.
void Kx33Board::startSystem() {
    if (const auto version = embeddedVersion(flash_)) {
        id_.version = *version;
        id_.identity = identityWithVersion(id_.identity, *version);
    }
}

void Kx33Board::rackReset(Rack& rack) {
    (void)rack;
    enterBootLoader(false);
    startSystem();
}

Reply Kx33Board::setParameter(std::string_view line) {
    const auto value = number(line.substr(7));
    if (!value || *value < 0) return Reply::refused();
    switch (line[5]) {
        case '1':
            if (*value >= kBlocks) return Reply::refused();
            firstBlock_ = value;
            break;
        case '2':
            if (!firstBlock_ || *firstBlock_ + *value > kBlocks) return Reply::refused();
            blockCount_ = value;
            break;
        default:
            if (*value > 0xFF) return Reply::refused();
            emptyValue_ = static_cast<uint8_t>(*value);
            break;
    }
    ram_.clear();
    transferClosed_ = false;
    return Reply::accepted();
}

bool Kx33Board::inRange(int64_t block) const {
    return firstBlock_ && blockCount_ && block >= *firstBlock_ &&
           block < *firstBlock_ + *blockCount_;
}

// "<block>,<hex data><checksum low byte><checksum high byte>"; the answer is the checksum the
// board computed over the data, or "?" when it differs from the one sent.
Reply Kx33Board::takeBlock(std::string_view arguments) {
    const size_t comma = arguments.find(',');
    const auto block = number(arguments.substr(0, comma));
    if (comma == std::string_view::npos || !block || !inRange(*block) || transferClosed_)
        return Reply::refused();
    const auto bytes = decodeHex(arguments.substr(comma + 1));
    if (!bytes || bytes->size() != kBlockSize + 2) return Reply::refused();
    const std::string data = bytes->substr(0, kBlockSize);
    const uint16_t sent =
        static_cast<uint16_t>(static_cast<uint8_t>((*bytes)[kBlockSize]) |
                              static_cast<uint8_t>((*bytes)[kBlockSize + 1]) << 8);
    const uint16_t computed = onesComplement(byteSum(data));
    if (sent != computed) return Reply::refused();
    ram_[*block] = data;
    return Reply::line(std::to_string(computed), timing_.blockMs);
}

Reply Kx33Board::closeTransfer() {
    if (!firstBlock_ || !blockCount_ || ram_.size() != static_cast<size_t>(*blockCount_))
        return Reply::refused();
    transferClosed_ = true;
    return Reply::accepted();
}

// Erases every sector the range touches and writes the blocks. The report names one block per
// sector's worth of blocks, counted from the first block.
Reply Kx33Board::burn(Rack& rack) {
    if (!transferClosed_) return Reply::refused();
    constexpr int64_t kBlocksPerSector = kSectorBytes / kBlockSize;
    const int64_t end = *firstBlock_ + *blockCount_;
    if (*blockCount_ > 0) {
        const int64_t firstSector = *firstBlock_ / kBlocksPerSector;
        const int64_t lastSector = (end - 1) / kBlocksPerSector;
        flash_.replace(static_cast<size_t>(firstSector * kSectorBytes),
                       static_cast<size_t>((lastSector - firstSector + 1) * kSectorBytes),
                       static_cast<size_t>((lastSector - firstSector + 1) * kSectorBytes),
                       static_cast<char>(emptyValue_));
    }
    for (const auto& [block, bytes] : ram_)
        flash_.replace(static_cast<size_t>(block * kBlockSize), kBlockSize, bytes);
    int line = 0;
    for (int64_t n = *firstBlock_; n < end; n += kBlocksPerSector, ++line)
        rack.sendLine(std::to_string(line == misreportedSector_ ? n + 1 : n), timing_.sectorMs);
    if (misreportedSector_ >= 0 && misreportedSector_ < line && --misreportTimes_ <= 0)
        misreportedSector_ = -1;
    transferClosed_ = false;
    return Reply::none();
}

uint16_t Kx33Board::flashChecksum() const {
    if (!firstBlock_ || !blockCount_) return onesComplement(0);
    const std::string_view range =
        std::string_view(flash_).substr(static_cast<size_t>(*firstBlock_ * kBlockSize),
                                        static_cast<size_t>(*blockCount_ * kBlockSize));
    return onesComplement(byteSum(range));
}

// Eight characters of header (block number and comma), the block as hex text and its checksum
// low byte first in lower-case digits.
Reply Kx33Board::uploadBlock(std::string_view arguments) const {
    const auto block = number(arguments);
    if (!block || *block < 0 || *block >= kBlocks) return Reply::refused();
    const std::string_view data =
        std::string_view(flash_).substr(static_cast<size_t>(*block * kBlockSize), kBlockSize);
    const uint16_t checksum = onesComplement(byteSum(data));
    std::string header = std::to_string(*block);
    header.insert(0, 7 - header.size(), '0');
    std::string check = encodeHex(
        std::string{static_cast<char>(checksum & 0xFF), static_cast<char>(checksum >> 8)});
    for (char& c : check) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return Reply::line(header + "," + encodeHex(data) + check);
}

}  // namespace rack
