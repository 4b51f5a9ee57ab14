#pragma once
// Registers the simulated amplifier modules: kind "amplifier" and the model names.
#include "rack/core/registry.h"

namespace rack {
void registerAmplifierComponents(ComponentRegistry& registry);
}
