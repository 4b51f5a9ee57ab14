#include "rack/core/registry.h"

#include <stdexcept>

#include "rack/core/system_processor.h"

namespace rack {

void ComponentRegistry::add(const std::string& kind, ComponentFactory factory) {
    factories_[kind] = std::move(factory);
}

std::unique_ptr<Component> ComponentRegistry::make(const std::string& kind,
                                                   const nlohmann::json& config,
                                                   Placement where) const {
    const auto found = factories_.find(kind);
    if (found == factories_.end())
        throw std::invalid_argument("unknown component kind \"" + kind + "\"");
    return found->second(config, where);
}

void registerCoreComponents(ComponentRegistry& registry) {
    for (const char* kind : {"KX13", "KX33", "KX43", "KX43A", "KX43B", "KX43-B", "KX43P", "KX63"}) {
        registry.add(kind, [](const nlohmann::json& config, Placement) {
            return std::make_unique<SystemProcessor>(ProcessorIdentity::fromJson(config));
        });
    }
}

}  // namespace rack
