// The application layer of one module: identity and settings queries, sub-channels, channel
// names, operating mode, CAN database, connection-board EEPROMs and the way into loader 1.
#include "rack/amplifier/amplifier_module.h"
#include "rack/amplifier/module_timing.h"
#include "rack/amplifier/protocol_fields.h"

namespace rack::amplifier {

namespace {

constexpr int kEepromStart[] = {0x3000, 0x4000};
constexpr size_t kEepromLine = 64;
using namespace timing;

std::optional<int> fieldAfter(std::string_view line, std::string_view prefix) {
    if (!line.starts_with(prefix)) return std::nullopt;
    return parseDecimal(line.substr(prefix.size()));
}

}  // namespace

std::optional<Reply> AmplifierModule::applicationCommand(std::string_view line, bool answering) {
    if (!runsApplication()) return Reply::refused();
    if (line == "SPS?0")
        return Reply::line(std::to_string(slot_ + 1) + "," + std::to_string(selectedSubChannel_) +
                           "," + std::to_string(subChannels_));
    if (line.starts_with("SPS")) {
        const auto n = parseDecimal(line.substr(3));
        if (!n || *n < 0 || *n > subChannels_) return Reply::refused();
        selectedSubChannel_ = *n;
        return Reply::accepted();
    }
    if (line == "AID?") return identity().empty() ? Reply::refused() : Reply::line(identity());
    if (line == "UCC?") {
        const size_t index = static_cast<size_t>(std::max(selectedSubChannel_, 1) - 1);
        return Reply::line("\"" + channelNames_[index] + "\"");
    }
    if (line.starts_with("UCC\"") && line.size() >= 5 && line.back() == '"') {
        const std::string name(line.substr(4, line.size() - 5));
        if (selectedSubChannel_ == 0)
            for (auto& n : channelNames_) n = name;
        else
            setChannelName(static_cast<size_t>(selectedSubChannel_ - 1), name);
        return Reply::accepted();
    }
    if (line == "REV?0") return Reply::line(config_.hardwareRevision);
    if (line == "AMT?") return Reply::line(std::to_string(config_.amtNumber));
    if (line == "MCF?") return Reply::line(std::string(1, config_.mode));
    if (line.size() == 4 && line.starts_with("MCF") && std::isdigit(static_cast<unsigned char>(line[3]))) {
        config_.mode = line[3];
        return Reply::accepted();
    }
    if (line.starts_with("TDD") || line.starts_with("TID")) return Reply::accepted();
    if (auto n = fieldAfter(line, "PAR400,")) {
        pendingSubChannels_ = *n;
        return Reply::accepted();
    }
    if (auto n = fieldAfter(line, "PAR9990,")) {
        if (!config_.subChannelsFixed) pendingSubChannels_ = *n;
        return Reply::accepted();
    }
    if (line == "DBA1,7314" || line == "DBA2,7314") {
        canDatabase_[static_cast<size_t>(line[3] - '1')] = false;
        return Reply::accepted(kDatabaseDeleteMs);
    }
    if (line == "CAN1") return Reply::accepted();
    if (line == "PRG9,1,\"SYSTEM\"") {
        layer_ = Layer::Loader1;
        activated_ = false;
        return Reply::accepted(kLoader1EntryMs);
    }
    if (!answering) return Reply::accepted();
    if (auto board = fieldAfter(line, "SNR?")) {
        if (*board < 1 || static_cast<size_t>(*board) > config_.boards.size()) return Reply::refused();
        return Reply::line(config_.boards[static_cast<size_t>(*board - 1)].serialNumber);
    }
    if (auto address = fieldAfter(line, "PRG?750,")) {
        for (size_t b = 0; b < config_.boards.size(); ++b) {
            const int offset = *address - kEepromStart[b];
            const auto& eeprom = config_.boards[b].eeprom;
            if (offset < 0 || static_cast<size_t>(offset) + kEepromLine > eeprom.size()) continue;
            return Reply::line(encodeHex({eeprom.begin() + offset,
                                          eeprom.begin() + offset + static_cast<long>(kEepromLine)}));
        }
        return Reply::refused();
    }
    return Reply::refused();
}

}  // namespace rack::amplifier
