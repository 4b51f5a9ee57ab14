#include "rack/amplifier/amplifier_module.h"

#include "rack/amplifier/module_bus.h"

namespace rack::amplifier {

AmplifierModule::AmplifierModule(ModuleConfig config, int slot)
    : config_(std::move(config)),
      slot_(slot),
      layer_(config_.layer),
      flash_(config_.firmwareType, config_.externalFlash),
      subChannels_(config_.subChannels),
      pendingSubChannels_(config_.subChannels),
      channelNames_(static_cast<size_t>(std::max(config_.subChannels, 1))) {
    canDatabase_ = {config_.canDatabase, config_.canDatabase};
    for (size_t i = 0; i < channelNames_.size(); ++i)
        channelNames_[i] = "Channel " + std::to_string(slot + 1) + "." + std::to_string(i + 1);
}

std::string AmplifierModule::identity() const {
    if (runningIdentity_) return *runningIdentity_;
    return config_.identity.empty() ? config_.builtIdentity() : config_.identity;
}

void AmplifierModule::setChannelName(size_t subChannel, std::string name) {
    if (subChannel < channelNames_.size()) channelNames_[subChannel] = std::move(name);
}

std::optional<Reply> AmplifierModule::handle(std::string_view line, Rack& rack) {
    if (!powered()) lostPower_ = true;  // every line passes the slots first, "RST" too
    return handleOnBus(*this, line, rack);
}

void AmplifierModule::startApplicationFromFlash() {
    layer_ = Layer::Application;
    activated_ = false;
    participating_ = false;
    if (auto embedded = flash_.embeddedIdentity()) runningIdentity_ = std::move(*embedded);
}

// Loader 2 lives on while the processor restarts, but not through a power loss; loader 1 boots
// a complete application.
void AmplifierModule::rackReset(Rack&) {
    selectedSubChannel_ = 1;
    if (lostPower_) {
        lostPower_ = false;
        layer_ = Layer::Loader1;
        activated_ = false;
        participating_ = false;
        rebuildingLoader1_ = false;
    }
    if (pendingSubChannels_ != subChannels_) {
        subChannels_ = pendingSubChannels_;
        channelNames_.resize(static_cast<size_t>(std::max(subChannels_, 1)));
    }
    if (layer_ == Layer::Loader1 && applicationValid_ && !loader1Damaged_)
        startApplicationFromFlash();
}

}  // namespace rack::amplifier
