// The list of every simulated component kind. Each subsystem adds its registration here.
#include "rack/amplifier/amplifier_components.h"
#include "rack/core/registry.h"
#include "rack/processor/register_processors.h"
#include "rack/panel/panel_components.h"
#include "rack/nodepod/nodepod_components.h"

namespace rack {

const ComponentRegistry& builtinComponents() {
    static const ComponentRegistry registry = [] {
        ComponentRegistry r;
        registerCoreComponents(r);
        registerAmplifierComponents(r);
        registerProcessorComponents(r);
        registerPanelComponents(r);
        nodepod::registerNodePodComponents(r);
        return r;
    }();
    return registry;
}

}  // namespace rack
