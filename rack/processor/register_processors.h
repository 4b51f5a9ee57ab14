#pragma once
// Registers the KX33 and the KX43-family boards in place of the core's plain processors.
#include "rack/core/registry.h"

namespace rack {

void registerProcessorComponents(ComponentRegistry& registry);

}  // namespace rack
