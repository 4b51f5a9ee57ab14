#pragma once
// Integration-test fixture: a simulated rack built from a JSON description, attached in-process
// on the virtual clock.
#include <memory>
#include <nlohmann/json.hpp>

#include "link_fixture.h"
#include "rack/core/rack.h"
#include "rack/core/rack_file.h"

namespace testing_support {

class SimRackTest : public LinkTest {
protected:
    // Builds the rack and routes the next OpenConnection to it.
    rack::Rack& useRack(const nlohmann::json& description);
    rack::Rack& rack() { return *rack_; }

private:
    std::shared_ptr<rack::Rack> rack_;
};

}  // namespace testing_support
