#pragma once
// The RA56 component kind and its heads as the rack description gives them.
#include "rack/core/registry.h"

namespace rack::nodepod {

// Registers "RA56" and "RA56B".
void registerNodePodComponents(ComponentRegistry& registry);

}  // namespace rack::nodepod
