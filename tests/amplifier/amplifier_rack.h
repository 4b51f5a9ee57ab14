#pragma once
// Fixture for the amplifier exports against the simulated rack, and small helpers.
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "rack/amplifier/amplifier_module.h"
#include "sim_rack.h"
#include "temp_dir.h"
#include "tools/fwgen/amplifier_set.h"

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

// A rack with a KX43 (reset in 3 s), a DV43A panel and the given slots (each an object with at
// least "slot").
nlohmann::json rackWithSlots(const nlohmann::json& slots);
// A slot holding the model of `firmwareType` that the test firmware is made for.
nlohmann::json slotOfType(int slot, int firmwareType);

// Firmware files of one type written into a fresh directory.
struct FirmwareFiles {
    fwgen::AmplifierModel model;
    fwgen::AmplifierFirmware firmware;
    std::string application;
    std::string loader2;
    std::string loader1;
};

// Every segment of the application file sits where the firmware type keeps it: in the internal
// or the external memory (as the module holds them or an upload wrote them).
bool holdsApplication(const std::vector<uint8_t>& internal, const std::vector<uint8_t>& external,
                      const FirmwareFiles& files);
bool holdsFirmware(const rack::amplifier::AmplifierModule& module, const FirmwareFiles& files);

class AmplifierRackTest : public virtual SimRackTest {
protected:
    rack::amplifier::AmplifierModule& module(int slot) {
        return dynamic_cast<rack::amplifier::AmplifierModule&>(*rack().slot(slot));
    }
    // Builds the rack and opens the connection.
    void start(const std::vector<nlohmann::json>& slots);
    FirmwareFiles writeFirmware(int firmwareType, uint32_t seed = 1);

    // One export call of a sequence and the rack's command lines it caused.
    struct Step {
        std::string call;
        int result = 0;
        size_t firstLine = 0;
        size_t endLine = 0;
    };
    // The download as the operator program runs it: loader 1, loader 2, the loader-1 area (when
    // asked) and the application, start with reset and channel check, then loader 1 and 2 of the
    // new firmware, establish and the final reset. Stops at the first nonzero result.
    int download(const FirmwareFiles& files, uint32_t mask, int programMode = 0,
                 bool loader1Area = false);
    // Loader 1, loader 2 again (to reach loader 2 of a running application).
    int enterLoader2(const FirmwareFiles& files, uint32_t mask, int subChannelReset = 2, bool readId = true);
    std::vector<Step> steps;
    TempDir scratch;
    std::filesystem::path directory = scratch.path();
    int finalFinishingMode = 2;  // the final start puts the panel back: 1 warns when it cannot

private:
    template <typename F>
    int step(const std::string& call, F&& f);
};

}  // namespace testing_support
