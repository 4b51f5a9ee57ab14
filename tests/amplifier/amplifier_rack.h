#pragma once
// Fixture for the amplifier exports against the simulated rack, and small helpers.
#include <nlohmann/json.hpp>
#include <string>

#include "rack/amplifier/amplifier_module.h"
#include "sim_rack.h"

namespace testing_support {

struct SlotIdentity {
    int result = 0;
    std::string identity;
    std::string model;
    std::string hardwareRevision;
    int amplifierMode = -1;
    int loaderFlag = -1;
    int subChannels = -1;
};

// GetComponentType for one slot with 6000 ms, as the scan calls it.
SlotIdentity identifySlot(int slot, int loaderGroup = 1, int panelControl = 0);

// A rack with a KX43 and the given slots (each an object with at least "slot").
nlohmann::json rackWithSlots(const nlohmann::json& slots);

class AmplifierRackTest : public SimRackTest {
protected:
    rack::amplifier::AmplifierModule& module(int slot) {
        return dynamic_cast<rack::amplifier::AmplifierModule&>(*rack().slot(slot));
    }
    // Builds the rack and opens the connection.
    void start(const nlohmann::json& slots) {
        useRack(rackWithSlots(slots));
        ASSERT_EQ(open(), 0);
    }
};

}  // namespace testing_support
