#pragma once
// Reads a rack description (JSON) into a simulated rack. The format is in docs/rack-file.md.
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "rack/core/rack.h"
#include "rack/core/registry.h"

namespace rack {

std::unique_ptr<Rack> buildRack(const nlohmann::json& description,
                                const ComponentRegistry& registry = builtinComponents());
// Throws std::runtime_error naming the file and what is wrong.
std::unique_ptr<Rack> loadRackFile(const std::string& path,
                                   const ComponentRegistry& registry = builtinComponents());

}  // namespace rack
