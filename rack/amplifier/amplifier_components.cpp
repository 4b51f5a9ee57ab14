#include "rack/amplifier/amplifier_components.h"

#include "rack/amplifier/amplifier_module.h"

namespace rack {

void registerAmplifierComponents(ComponentRegistry& registry) {
    for (const char* kind : {"amplifier", "RA51", "RA51B", "RA77", "RC77", "RA14", "RA901B", "RA677"}) {
        registry.add(kind, [](const nlohmann::json& config, Placement where) {
            return std::make_unique<amplifier::AmplifierModule>(amplifier::ModuleConfig::fromJson(config),
                                                                where.slot);
        });
    }
}

}  // namespace rack
