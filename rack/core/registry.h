#pragma once
// Builds components from the rack description: each component kind registers a factory.
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "rack/core/component.h"
#include "rack/core/rack.h"

namespace rack {

using ComponentFactory =
    std::function<std::unique_ptr<Component>(const nlohmann::json& config, Placement where)>;

class ComponentRegistry {
public:
    // A later registration of the same kind replaces the earlier one.
    void add(const std::string& kind, ComponentFactory factory);
    std::unique_ptr<Component> make(const std::string& kind, const nlohmann::json& config,
                                     Placement where) const;
    bool has(const std::string& kind) const { return factories_.count(kind) != 0; }

private:
    std::map<std::string, ComponentFactory> factories_;
};

// Every component kind this simulator knows.
const ComponentRegistry& builtinComponents();

// The core's own kinds: the processor family with its interpreter commands only.
void registerCoreComponents(ComponentRegistry& registry);

}  // namespace rack
