#include "rack/core/rack_file.h"

#include "rack/core/rack_shape.h"

#include <fstream>
#include <stdexcept>

namespace rack {

namespace {

void addSlots(Rack& rack, const nlohmann::json& slots, const ComponentRegistry& registry) {
    for (const auto& entry : slots) {
        const int slot = entry.at("slot").get<int>();
        if (slot < 0 || slot >= Rack::kSlots)
            throw std::invalid_argument("slot " + std::to_string(slot) + " is not 0-15");
        if (rack.slot(slot))
            throw std::invalid_argument("slot " + std::to_string(slot) + " is described twice");
        rack.add(registry.make(entry.at("kind").get<std::string>(), entry, {Role::Slot, slot}),
                 {Role::Slot, slot});
    }
}

ModuleAnswers moduleAnswersNamed(const std::string& name) {
    if (name == "usual") return ModuleAnswers::Usual;
    if (name == "joined") return ModuleAnswers::Joined;
    if (name == "lines") return ModuleAnswers::Lines;
    throw std::invalid_argument("moduleAnswers \"" + name + "\" is not usual, joined or lines");
}

}  // namespace

std::unique_ptr<Rack> buildRack(const nlohmann::json& d, const ComponentRegistry& registry) {
    checkRackShape(d);
    auto rack = std::make_unique<Rack>();
    if (d.contains("timing")) rack->timing().resetMs = d["timing"].value("resetMs", 20000);
    if (d.contains("moduleAnswers"))
        rack->setModuleAnswers(moduleAnswersNamed(d["moduleAnswers"].get<std::string>()));
    // Slots first, then the panel, the processor last: it answers the rack-wide commands.
    if (d.contains("slots")) addSlots(*rack, d["slots"], registry);
    if (d.contains("panel")) {
        const auto& panel = d["panel"];
        rack->add(registry.make(panel.at("kind").get<std::string>(), panel, {Role::Panel, -1}),
                  {Role::Panel, -1});
    }
    const auto processor = d.value("processor", nlohmann::json::object());
    rack->add(registry.make(processor.value("kind", std::string("KX43")), processor,
                            {Role::Processor, -1}),
              {Role::Processor, -1});
    for (const auto& rule : d.value("faults", nlohmann::json::array()))
        rack->faults().add(faultRuleFromJson(rule));
    return rack;
}

std::unique_ptr<Rack> loadRackFile(const std::string& path, const ComponentRegistry& registry) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot open rack file " + path);
    try {
        return buildRack(nlohmann::json::parse(file), registry);
    } catch (const std::exception& e) {
        throw std::runtime_error("rack file " + path + ": " + e.what());
    }
}

}  // namespace rack
