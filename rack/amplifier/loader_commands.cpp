// Loader 1 and loader 2 of one module: identification, activation, receiving and starting
// loader 2, erasing, total check, upload, application start and establish.
#include "rack/amplifier/amplifier_module.h"
#include "rack/amplifier/module_bus.h"
#include "rack/amplifier/module_timing.h"
#include "rack/amplifier/protocol_fields.h"

namespace rack::amplifier {

namespace {

using namespace timing;

constexpr int kBootLoaderEntry = 0x10400;

// The hex fields of a command: "0312FF01" -> {0x03, 0x12, 0xFF, 0x01}.
std::optional<std::vector<int>> hexFields(std::string_view fields, size_t count) {
    if (fields.size() != count * 2) return std::nullopt;
    std::vector<int> values;
    for (size_t i = 0; i < count; ++i) {
        const auto v = parseHex(fields.substr(i * 2, 2));
        if (!v) return std::nullopt;
        values.push_back(*v);
    }
    return values;
}

std::optional<std::string> identityIn(const std::vector<uint8_t>& image) {
    static constexpr std::string_view kMarker = "@(#)";
    const auto found = std::search(image.begin(), image.end(), kMarker.begin(), kMarker.end());
    if (found == image.end()) return std::nullopt;
    std::string text;
    for (auto it = found + static_cast<long>(kMarker.size());
         it != image.end() && *it != 0 && *it != 0xFF && text.size() < 100; ++it)
        text += static_cast<char>(*it);
    return text;
}

}  // namespace

std::optional<Reply> AmplifierModule::loaderCommand(int group, char command, std::string_view fields,
                                                    Rack& rack) {
    if (group == 6 && command != 'I' && command != 'K' && command != 'X') {
        // The alternative group rebuilds loader 1: activate, write, start.
        if (command == 'A') rebuildingLoader1_ = true;
        if (command == 'S' && rebuildingLoader1_) {
            rebuildingLoader1_ = false;
            loader1Damaged_ = false;
        }
        return Reply::accepted();
    }
    if (layer_ == Layer::Application && command != 'Z') return Reply::refused();
    if (layer_ == Layer::Loader1 && loader1Damaged_) return Reply::none();
    switch (command) {
        case 'I':
            return identify(group);
        case 'K':
            return nextIdentityCharacter();
        case 'A':
            return activate(fields);
        case 'S':
            return startLoader2();
        case 'D': {
            const auto data = decodeHex(fields);
            if (!takesLoader2Data() || !data || data->size() != kBlockSize) return Reply::refused();
            receiveLoader2Data(*data);
            return Reply::accepted();
        }
        case 'X':
            return start(fields);
        case 'L':
            return eraseBank(fields, rack);
        case 'H':
            if (layer_ != Layer::Loader2) return Reply::refused();
            beginSession(rack);
            return eraseSector(fields);
        case 'Q':
            return selectOlderSeries(fields, rack);
        case 'C':
            return totalCheck();
        case 'Z':
            return establish(fields);
        case 'U':
            return upload(fields);
        default:
            return Reply::refused();
    }
}

std::optional<Reply> AmplifierModule::identify(int) {
    identificationIndex_ = 0;
    if (layer_ == Layer::Loader1) {
        identification_ = config_.loader1Identity();
        return Reply::line("1");
    }
    identification_ = loader2Identity_;
    return Reply::line("2");
}

Reply AmplifierModule::nextIdentityCharacter() {
    if (identificationIndex_ >= identification_.size()) return Reply::line(std::string(1, '\0'));
    return Reply::line(std::string(1, identification_[identificationIndex_++]));
}

// "A<address><code><marker>": a nonzero code (the module code) activates loader 1 to receive
// loader 2; code 0 deactivates it and is confirmed with "F". Loader 2 falls back to loader 1.
Reply AmplifierModule::activate(std::string_view fields) {
    if (config_.firmwareType == 1) {  // the older series: "PRC1,3,A"
        layer_ = Layer::Loader1;
        activated_ = true;
        participating_ = false;
        loader2Image_.clear();
        return Reply::accepted();
    }
    const auto values = hexFields(fields, 3);
    if (!values) return Reply::refused();
    if ((*values)[1] == 0) {
        activated_ = false;
        return Reply::line("F");
    }
    if ((*values)[1] != config_.moduleCode) return Reply::refused();
    layer_ = Layer::Loader1;
    activated_ = true;
    participating_ = false;
    loader2Image_.clear();
    return Reply::accepted();
}

void AmplifierModule::receiveLoader2Data(const std::vector<uint8_t>& data) {
    loader2Image_.insert(loader2Image_.end(), data.begin(), data.end());
}

// Loader 2 starts only when a complete one (with its identification) was received.
Reply AmplifierModule::startLoader2() {
    const auto found = identityIn(loader2Image_);
    if (layer_ != Layer::Loader1 || !activated_ || !found) return Reply::refused();
    loader2Identity_ = *found;
    layer_ = Layer::Loader2;
    activated_ = false;
    participating_ = false;
    return Reply::accepted(kStartMs);
}

// "X<address><start>": the boot-loader entry goes back to loader 1, any other address starts
// the application when its programming was completed.
Reply AmplifierModule::start(std::string_view fields) {
    const auto address = parseHex(fields.size() == 4 ? fields : fields.substr(2));
    if (!address) return Reply::refused();
    if (*address == kBootLoaderEntry) {
        layer_ = Layer::Loader1;
        activated_ = false;
        participating_ = false;
        return Reply::accepted();
    }
    if (!applicationValid_) return Reply::refused();
    startApplicationFromFlash();
    return Reply::accepted(kStartMs);
}

// A new erase after blocks were programmed starts a new download: modules of the previous one
// no longer take blocks.
void AmplifierModule::beginSession(Rack& rack) {
    for (auto* m : amplifierModules(rack))
        if (m != this && m->blocksSinceErase() > 0) m->leaveSession();
    if (!participating_ || blocksSinceErase_ > 0) {
        programmedBlocks_.clear();
        programmedPairs_.clear();
        pending_.clear();
    }
    participating_ = true;
    blocksSinceErase_ = 0;
    applicationValid_ = false;
    established_ = false;
}

Reply AmplifierModule::eraseBank(std::string_view fields, Rack& rack) {
    const auto values = hexFields(fields, 4);
    if (layer_ != Layer::Loader2 || !values || (*values)[1] != config_.moduleCode)
        return Reply::refused();
    beginSession(rack);
    if (!flash_.eraseBank((*values)[3])) return Reply::refused();
    return Reply::accepted(kBankEraseMs);
}

Reply AmplifierModule::eraseSector(std::string_view fields) {
    const auto values = hexFields(fields, 4);
    if (!values || (*values)[1] != config_.moduleCode || !flash_.eraseSector((*values)[3]))
        return Reply::refused();
    return Reply::accepted(kSectorEraseMs);
}

void AmplifierModule::eraseExternalForSession() {
    if (config_.firmwareType == 2) flash_.eraseExternal();
}

Reply AmplifierModule::selectOlderSeries(std::string_view fields, Rack& rack) {
    const auto values = hexFields(fields, 2);
    if (layer_ != Layer::Loader2 || config_.firmwareType != 1 || !values ||
        (*values)[0] != config_.moduleCode)
        return Reply::refused();
    beginSession(rack);
    flash_.eraseOlderSeries();
    return Reply::accepted(kOlderSeriesEraseMs);
}

// The total of the blocks programmed since the erase; asking for it ends the download.
Reply AmplifierModule::totalCheck() {
    if (layer_ != Layer::Loader2) return Reply::refused();
    applicationValid_ = participating_ && flash_.embeddedIdentity().has_value();
    const auto check = static_cast<char>(static_cast<uint8_t>(-runningTotal()));
    return Reply::raw(std::string{check, '\0'});
}

// "Z<code><address>": the rack takes over the new application. The older series confirms
// with "0", the current series with a zero byte.
Reply AmplifierModule::establish(std::string_view fields) {
    const auto values = hexFields(fields, 2);
    if (!values || (*values)[0] != config_.moduleCode || !applicationValid_) return Reply::refused();
    established_ = true;
    return config_.firmwareType == 1 ? Reply::accepted() : Reply::line(std::string(1, '\0'));
}

// "U<address><block><kind>": one block as 258 hex characters (data and check byte); kind 89
// reads the internal flash, 32 the external flash ("00" after its last programmed block).
Reply AmplifierModule::upload(std::string_view fields) {
    if (layer_ != Layer::Loader2 || fields.size() != 8) return Reply::refused();
    const auto block = parseHex(fields.substr(2, 4));
    const std::string_view kind = fields.substr(6);
    if (!block) return Reply::refused();
    std::optional<std::vector<uint8_t>> data;
    if (kind == "89") {
        data = flash_.internalBlock(static_cast<size_t>(*block));
    } else if (kind == "32") {
        if (!flash_.hasExternal()) return Reply::none();
        if (static_cast<size_t>(*block) >= flash_.externalUsedBlocks()) return Reply::line("00");
        data = flash_.externalBlock(static_cast<size_t>(*block));
    }
    if (!data) return Reply::refused();
    const auto check = checkAnswer(*data);
    return Reply::line(encodeHex(*data) + encodeHex({static_cast<uint8_t>(check[0])}));
}

}  // namespace rack::amplifier
