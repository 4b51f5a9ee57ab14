#pragma once
// NodePod heads for simulated racks, and the check that a head's flash holds a firmware set's
// application: shared by the library's NodePod tests and the operator window's.
#include <nlohmann/json.hpp>
#include <string>

#include "rack/nodepod/simulated_node.h"
#include "tools/fwgen/nodepod_set.h"

namespace testing_support {

constexpr int kNodePodType = 21;

// A head of type 21 with serial 1000 + id, running `program` ("flash", "loader1", "loader2").
nlohmann::json nodePodHead(int id, const std::string& hardwareRevision, const std::string& program = "flash");

// The head's application area holds exactly the application of `set`, erased bytes elsewhere.
bool flashHoldsApplication(const rack::nodepod::SimulatedNode& head, const fwgen::NodePodSet& set);

}  // namespace testing_support
