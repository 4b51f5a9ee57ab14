#include "rack/panel/dv_panel.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <numeric>

#include "rack/core/rack.h"
#include "rack/panel/panel_identity.h"

namespace rack::panel {

namespace {

constexpr size_t kPieceBytes = 128;
constexpr size_t kLoaderIIPieces = 64;
constexpr int kSectorProgramMs = 10;
constexpr int kLoaderStartMs = 50;

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Bytes from hex text; nothing when a character is not a hex digit.
std::optional<std::vector<uint8_t>> hexBytes(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::optional<int> hexNumber(std::string_view text) {
    if (text.empty()) return std::nullopt;
    int value = 0;
    for (char c : text) {
        const int digit = hexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

Reply rawPair(char first, char second) { return Reply::raw(std::string{first, second}); }

bool isPanelPortSetting(const std::string& command) {
    return command.starts_with("BDR") && command != "BDR?" && command.ends_with(",3");
}

}  // namespace

PanelConfig PanelConfig::fromJson(const nlohmann::json& j) {
    PanelConfig c;
    c.kind = j.value("kind", c.kind);
    c.largeFlash = j.value("flash", std::string(c.kind == "DV13" ? "small" : "large")) == "large";
    c.version = j.value("version", std::string(c.largeFlash ? "P4.10" : "P2.13"));
    c.hardwareRevision = j.value("hardwareRevision", c.hardwareRevision);
    c.serialNumber = j.value("serialNumber", c.serialNumber);
    c.bootstrap = j.value("bootstrap", false);
    c.passThrough = j.value("passThrough", false);
    c.bootstrapSettings.identification =
        static_cast<uint8_t>(j.value("bootstrapIdentification", 0xC5));
    for (int block : j.value("refusedBlocks", std::vector<int>{}))
        c.bootstrapSettings.refusedBlocks.insert(block);
    return c;
}

DvPanel::DvPanel(PanelConfig config)
    : config_(std::move(config)),
      flash_(config_.largeFlash ? 512 : 256, config_.largeFlash ? 2048 : 1024),
      bootstrap_(std::make_unique<C167Bootstrap>(config_.bootstrapSettings, flash_.bytes())) {
    if (!config_.version.empty()) flash_.writeIdentity(config_.version);
}

std::string DvPanel::identity() const {
    return "QTX," + config_.kind + "," + flash_.applicationVersion() + "," +
           config_.hardwareRevision + "," + config_.serialNumber;
}

void DvPanel::attached(Rack& rack) {
    if (config_.bootstrap && !config_.passThrough) rack.captureBytes(this);
}

std::optional<Reply> DvPanel::handle(std::string_view line, Rack& rack) {
    if (auto transfer = handlePassThrough(line, rack)) return transfer;
    if (config_.bootstrap) return std::nullopt;  // the firmware does not run
    const std::string command = upper(line);
    const bool mine = command == "DID?" || command == "PRC1,1" || command == "PRC1,4" ||
                      command.starts_with("PRC2,") || isPanelPortSetting(command);
    if (!mine) return std::nullopt;
    if (!powered()) return Reply::none();
    if (command == "DID?") return Reply::line(identity());
    if (command == "PRC1,1" || command == "PRC1,4") {
        switchedOut_ = command == "PRC1,1";
        return Reply::accepted();
    }
    if (isPanelPortSetting(command)) {
        portBaud_ = std::atoi(command.c_str() + 3);
        return Reply::accepted();
    }
    if (command == "PRC2,1") {
        layer_ = Layer::LoaderI;
        ram_.clear();
        addressed_ = false;
        return Reply::accepted(kLoaderStartMs);
    }
    if (command == "PRC2,4") {
        if (!applicationStarted_ || layer_ != Layer::Application) return Reply::refused();
        applicationStarted_ = false;
        activated_ = true;
        return Reply::accepted();
    }
    if (command == "PRC2,5")
        return applicationStarted_ || layer_ == Layer::Application ? Reply::accepted()
                                                                  : Reply::refused();
    if (layer_ == Layer::LoaderI) return handleLoaderI(command, line);
    if (layer_ == Layer::LoaderII) return handleLoaderII(command, line);
    // A running application takes the request to start it (after a rack reset the amplifier
    // loaders' final step sends it to a panel that restarted on its own).
    if (command == "PRC2,2,S00010000") return Reply::accepted();
    return Reply::refused();
}

std::optional<Reply> DvPanel::handleLoaderI(const std::string& command, std::string_view line) {
    if (command == "PRC2,2,A00000000") {
        ram_.clear();
        addressed_ = true;
        return Reply::accepted();
    }
    if (command.starts_with("PRC2,2,D")) return loadPiece(line.substr(8));
    if (command == "PRC2,2,S00000000") return startLoaderII();
    if (command == "PRC2,2,S00010000") return startApplication();
    return Reply::refused();
}

Reply DvPanel::loadPiece(std::string_view hex) {
    const auto bytes = hexBytes(hex);
    if (!addressed_ || !bytes || bytes->size() != kPieceBytes ||
        ram_.size() >= kLoaderIIPieces * kPieceBytes)
        return Reply::refused();
    ram_.insert(ram_.end(), bytes->begin(), bytes->end());
    return Reply::accepted();
}

// Loader II names the sector size it programs; one for the other flash does not start.
Reply DvPanel::startLoaderII() {
    const std::string head(
        ram_.begin(), ram_.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(ram_.size(), 4)));
    if (head.size() < 4 || !head.starts_with(kLoaderIIMarker)) return Reply::refused();
    const int sectorSize = head[3] == '2' ? 512 : head[3] == '1' ? 256 : 0;
    if (sectorSize != flash_.sectorSize()) return Reply::refused();
    layer_ = Layer::LoaderII;
    loaderIISectorSize_ = sectorSize;
    loaderIOpen_ = false;
    sector_ = -1;
    return Reply::accepted(kLoaderStartMs);
}

std::optional<Reply> DvPanel::handleLoaderII(const std::string& command, std::string_view line) {
    if (command == "PRC2,2,L1") {
        if (flash_.sectorSize() != 512) return rawPair('?', '\0');
        loaderIOpen_ = true;
        return rawPair('0', '\0');
    }
    if (command == "PRC2,2,C") return Reply::accepted();
    if (command == "PRC2,2,S00010000") return startApplication();
    if (command.size() >= 8 && command.starts_with("PRC2,2,") &&
        std::string_view("EFGB").find(command[7]) != std::string_view::npos)
        return sectorPiece(command[7], line.substr(8));
    return Reply::refused();
}

Reply DvPanel::sectorPiece(char piece, std::string_view rest) {
    const bool large = loaderIISectorSize_ == 512;
    const int lastIndex = large ? 3 : 1;
    const int index = piece == 'B' ? lastIndex : piece - 'E';
    const Reply refused = piece == 'B' ? rawPair('?', '\0') : Reply::refused();
    const auto sector = hexNumber(rest.substr(0, 4));
    const auto data = hexBytes(rest.size() > 4 ? rest.substr(4) : std::string_view());
    const bool misplaced = piece != 'B' && index >= lastIndex;  // no "F" or "G" on 256 bytes
    if (misplaced || rest.size() < 4 || !sector || *sector >= flash_.sectors() || !data ||
        (!data->empty() && data->size() != kPieceBytes))
        return refused;
    if (index == 0) {
        sector_ = *sector;
        sectorData_.assign(static_cast<size_t>(loaderIISectorSize_), 0);
        piecesReceived_ = 0;
    }
    if (*sector != sector_) return refused;
    std::copy(data->begin(), data->end(),
              sectorData_.begin() +
                  static_cast<std::ptrdiff_t>(static_cast<size_t>(index) * kPieceBytes));
    piecesReceived_ |= 1u << index;
    if (piece != 'B') return Reply::accepted();
    sector_ = -1;
    if (piecesReceived_ != (1u << (lastIndex + 1)) - 1) return refused;
    flash_.writeSector(*sector, sectorData_, loaderIOpen_);
    const auto sum =
        static_cast<char>(std::accumulate(sectorData_.begin(), sectorData_.end(), 0u) & 0xFF);
    return Reply::raw(std::string{sum, '0'}, kSectorProgramMs);
}

Reply DvPanel::startApplication() {
    layer_ = Layer::Application;
    applicationStarted_ = true;
    activated_ = false;
    return Reply::accepted(kLoaderStartMs);
}

Framing DvPanel::framing(std::string_view line) const {
    return upper(line).starts_with("SYS TRANSF") ? Framing::LfAlone : Framing::CrLf;
}

std::optional<Reply> DvPanel::handlePassThrough(std::string_view line, Rack& rack) {
    const std::string command = upper(line);
    if (!config_.passThrough || !command.starts_with("SYS TRANSF")) return std::nullopt;
    if (!rack.processor() || !rack.processor()->name().starts_with("KX43")) return std::nullopt;
    passThroughBaud_ = std::atoi(command.c_str() + 10);
    passingThrough_ = true;
    rack.captureBytes(this);
    return Reply::none();
}

void DvPanel::rawBytes(std::string_view bytes, Rack& rack) {
    if (!config_.bootstrap) return;  // the application does not speak the bootstrap protocol
    if (!powered()) return;          // a controller without power hears nothing
    // The bootstrap program acknowledges as soon as the last byte of a step is in; the line's
    // own pace (ventrix-sim --baud) is the only time the answer takes.
    const std::string answer = bootstrap_->take(bytes);
    if (!answer.empty()) rack.send(answer);
}

// The end of a break pulse restarts the controller; the pass-through ends with it.
void DvPanel::breakCondition(bool on, Rack& rack) {
    if (on) {
        inBreak_ = true;
        return;
    }
    if (!inBreak_) return;
    inBreak_ = false;
    bootstrap_->restart();
    if (passingThrough_) {
        passingThrough_ = false;
        rack.releaseBytes();
    }
}

void DvPanel::rackReset(Rack& rack) {
    layer_ = flash_.holdsApplication() ? Layer::Application : Layer::LoaderI;
    ram_.clear();
    addressed_ = false;
    switchedOut_ = false;  // a restarted panel is on the bus
    sector_ = -1;
    bootstrap_->restart();
    passingThrough_ = false;
    attached(rack);
}

}  // namespace rack::panel
