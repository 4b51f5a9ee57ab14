#include "rack/panel/panel_components.h"

#include "rack/panel/dv_panel.h"

namespace rack {

void registerPanelComponents(ComponentRegistry& registry) {
    for (const char* kind : {"DV33A", "DV43A", "DV13"}) {
        registry.add(kind, [kind](const nlohmann::json& config, Placement) {
            auto settings = panel::PanelConfig::fromJson(config);
            settings.kind = kind;
            return std::make_unique<panel::DvPanel>(std::move(settings));
        });
    }
}

}  // namespace rack
