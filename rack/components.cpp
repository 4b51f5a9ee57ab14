// The list of every simulated component kind. Each subsystem adds its registration here.
#include "rack/core/registry.h"
#include "rack/nodepod/nodepod_components.h"

namespace rack {

const ComponentRegistry& builtinComponents() {
    static const ComponentRegistry registry = [] {
        ComponentRegistry r;
        registerCoreComponents(r);
        nodepod::registerNodePodComponents(r);
        return r;
    }();
    return registry;
}

}  // namespace rack
