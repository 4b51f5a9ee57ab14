#include "rack/processor/kx43_board.h"

#include "rack/core/rack.h"
#include "rack/processor/firmware_version.h"
#include "rack/processor/hex_text.h"

namespace rack {

namespace {
constexpr size_t kLargestWrite = 128;
constexpr std::string_view kWritePrefix = "PRC9,3,,\"";
}  // namespace

Kx43Board::Kx43Board(ProcessorIdentity identity, Kx43Generation generation, Kx43Timing timing,
                     Kx43Settings settings)
    : SystemProcessor(std::move(identity)),
      generation_(generation),
      timing_(timing),
      settings_(std::move(settings)) {}

std::unique_ptr<Kx43Board> Kx43Board::fromJson(const nlohmann::json& config) {
    auto id = ProcessorIdentity::fromJson(config);
    if (!config.contains("identity")) id.identity = "QTX," + id.kind + ",0," + id.version;
    const std::string generation =
        config.value("generation", id.kind == "KX63" ? "newer" : "older");
    Kx43Timing timing;
    timing.restartMs = config.value("restartMs", timing.restartMs);
    timing.prepareMs = config.value("prepareMs", timing.prepareMs);
    timing.uncompressMs = config.value("uncompressMs", timing.uncompressMs);
    auto board = std::make_unique<Kx43Board>(
        std::move(id), generation == "newer" ? Kx43Generation::Newer : Kx43Generation::Older,
        timing, Kx43Settings::fromJson(config.value("settings", nlohmann::json::object())));
    board->applicationFile_ = config.value("applicationFile", board->applicationFile_);
    board->bootLoader_ = config.value("bootLoader", false);
    board->bootLoaderIdentity_ = config.value("bootLoaderIdentity", std::string());
    board->activated_ = !board->bootLoader_;
    return board;
}

std::optional<Reply> Kx43Board::handle(std::string_view line, Rack& rack) {
    if (!powered() || restart_.active(rack)) return Reply::none();
    if (auto reply = bootLoader_ ? bootLoaderCommand(line, rack) : applicationCommand(line, rack))
        return reply;
    return SystemProcessor::handle(line, rack);
}

Framing Kx43Board::framing(std::string_view line) const {
    return line.starts_with("PRC9,") || line == "PRC?9" ? Framing::LfAlone : Framing::Either;
}

std::optional<Reply> Kx43Board::applicationCommand(std::string_view line, Rack& rack) {
    if (line == "PRC?9") return Reply::refused();
    if (line == "PRC9,1") {
        activated_ = false;
        restartInto(true, rack);
        return Reply::accepted();
    }
    if (line == "PRC9,0") {
        // The running application becomes the one power-on starts.
        activated_ = true;
        restart_.begin(rack, timing_.restartMs);
        return Reply::accepted();
    }
    if (line.starts_with("PRC9,")) return Reply::refused();
    if (line == "CHS-1" || line == "SPS1") return Reply::accepted();
    return settings_.handle(line);
}

std::optional<Reply> Kx43Board::bootLoaderCommand(std::string_view line, Rack& rack) {
    if (line == "PRC?9") return Reply::line("1");
    if (line == "IDN?" && !bootLoaderIdentity_.empty()) return Reply::line(bootLoaderIdentity_);
    if (line == "PRC9,1") {
        restartInto(true, rack);
        return Reply::accepted();
    }
    if (line == "PRC9,7") {
        files_.prepare();
        return Reply::accepted(timing_.prepareMs);
    }
    if (line.starts_with("PRC9,2,"))
        return files_.open(line.substr(7)) ? Reply::accepted() : Reply::refused();
    if (line.starts_with(kWritePrefix)) return writeData(line);
    if (line == "PRC9,4") return files_.close() ? Reply::accepted() : Reply::refused();
    if (line == "PRC9,6" && generation_ == Kx43Generation::Older) {
        // The loader's system restarts on the new files and says nothing.
        restartInto(true, rack);
        osRestarted_ = true;
        return Reply::none();
    }
    if (line == "PRC9,5") return runNewApplication(rack);
    // Nothing else runs in the boot loader: settings and modes wait for the application.
    if (settings_.handle(line) || line.starts_with("PRC9,") || line == "CHS-1" || line == "SPS1")
        return Reply::refused();
    return std::nullopt;
}

// PRC9,3,,"<hex>": up to 128 bytes appended to the open file.
Reply Kx43Board::writeData(std::string_view line) {
    std::string_view hex = line.substr(kWritePrefix.size());
    if (!hex.ends_with('"')) return Reply::refused();
    hex.remove_suffix(1);
    const auto bytes = decodeHex(hex);
    if (!bytes || bytes->empty() || bytes->size() > kLargestWrite) return Reply::refused();
    return files_.append(*bytes) ? Reply::accepted() : Reply::refused();
}

// The older generation answers and restarts into the new application; the newer one unpacks it
// without a word first.
Reply Kx43Board::runNewApplication(Rack& rack) {
    if (generation_ == Kx43Generation::Newer) {
        restartInto(false, rack, timing_.uncompressMs);
        return Reply::none();
    }
    if (!osRestarted_) return Reply::refused();
    restartInto(false, rack);
    return Reply::accepted();
}

void Kx43Board::restartInto(bool bootLoader, Rack& rack, int extraMs) {
    restart_.begin(rack, timing_.restartMs + extraMs);
    files_.restart();
    osRestarted_ = false;
    bootLoader_ = bootLoader;
    if (!bootLoader) startApplication();
}

void Kx43Board::startApplication() {
    const std::string* application = files_.find(applicationFile_);
    const auto version = application ? embeddedVersion(*application) : std::nullopt;
    if (!version) {
        bootLoader_ = true;
        return;
    }
    // The new firmware starts with fresh settings; the older generation reads its interfaces
    // from the initialisation file.
    settings_.resetToDefaults(generation_ == Kx43Generation::Newer);
    if (generation_ == Kx43Generation::Older)
        if (const std::string* ini = files_.find(kInitialisationFile))
            settings_.applyInitialisation(*ini);
    id_.version = *version;
    id_.identity = identityWithVersion(id_.identity, *version);
    bootLoader_ = false;
}

void Kx43Board::rackReset(Rack& rack) {
    (void)rack;
    files_.restart();
    osRestarted_ = false;
    bootLoader_ = !activated_;
}

}  // namespace rack
