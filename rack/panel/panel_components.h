#pragma once
// The panel kinds the rack file can name: "DV33A", "DV43A", "DV13".
#include "rack/core/registry.h"

namespace rack {

void registerPanelComponents(ComponentRegistry& registry);

}  // namespace rack
