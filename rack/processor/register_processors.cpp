#include "rack/processor/register_processors.h"

#include "rack/processor/kx33_board.h"
#include "rack/processor/kx43_board.h"

namespace rack {

void registerProcessorComponents(ComponentRegistry& registry) {
    registry.add("KX33", [](const nlohmann::json& config, Placement) {
        return Kx33Board::fromJson(config);
    });
    for (const char* kind : {"KX43", "KX43A", "KX43B", "KX43-B", "KX63"}) {
        registry.add(kind, [kind](const nlohmann::json& config, Placement) {
            nlohmann::json withKind = config;
            withKind["kind"] = kind;
            return Kx43Board::fromJson(withKind);
        });
    }
}

}  // namespace rack
