#pragma once
// The rack-wide side of the amplifier modules: the processor selects channels ("CHS", "PCS"),
// relays loader commands to the module with the addressed loader address, and hands block data
// to every module that takes part in a download at once. Whichever module claims a line answers
// for all of them, so exactly one answer goes back.
#include <optional>
#include <string_view>
#include <vector>

#include "rack/core/reply.h"

namespace rack {
class Rack;
}

namespace rack::amplifier {

class AmplifierModule;

std::vector<AmplifierModule*> amplifierModules(const Rack& rack);
// The line as `self` sees it: an answer when `self` is the module that answers it.
std::optional<Reply> handleOnBus(AmplifierModule& self, std::string_view line, Rack& rack);

}  // namespace rack::amplifier
