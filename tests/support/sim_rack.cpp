#include "sim_rack.h"

namespace testing_support {

rack::Rack& SimRackTest::useRack(const nlohmann::json& description) {
    rack_ = std::shared_ptr<rack::Rack>(rack::buildRack(description));
    attach(rack_);
    return *rack_;
}

}  // namespace testing_support
