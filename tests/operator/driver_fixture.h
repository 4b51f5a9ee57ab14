#pragma once
// The drivers against the simulated rack in-process, on the virtual clock, with the strict
// scripted UI (the sandbox of the processor driver tests), here with the shipped hardware tables,
// the test firmware of every amplifier type in the download directory, and the commands of the
// shell and the amplifier drivers registered.
#include <memory>
#include <nlohmann/json.hpp>

#include "amplifier_slot.h"
#include "driver_rack.h"
#include "operator/drivers/command_dispatcher.h"
#include "rack/amplifier/amplifier_module.h"
#include "tools/fwgen/amplifier_set.h"

namespace operator_tests {

using testing_support::amplifierSlot;
// A rack with a KX43 (firmware that relays uploads over TCP), a DV43A panel and the given slots.
nlohmann::json rackOf(const std::vector<nlohmann::json>& slots);

class DriverTest : public driver_tests::DriverRackTest {
  protected:
    DriverTest();

    // Builds the rack, starts the shell in `startMode` and scans.
    void startWith(const nlohmann::json& rack, const QString& startMode = {});
    // Scans again (after a driver changed the rack).
    void rescan();

    rack::amplifier::AmplifierModule& module(int slot);
    const quorvel::SlotRecord& record(int slot) {
        return shell->state().Inventory.slotRecords[slot];
    }
    // True when the flash of `slot` holds the test firmware of its type.
    bool holdsFirmware(int slot, const fwgen::AmplifierFirmware& firmware);
    // The firmware written into the download directory for `firmwareType`.
    fwgen::AmplifierFirmware firmware(int firmwareType) const;
    QString downloadFile(const std::string& name) const {
        return downloads(QString::fromStdString(name));
    }
    size_t rackReceived(const std::string& command);

    const QString downloadDirectory = downloads();
    std::unique_ptr<quorvel::CommandDispatcher> dispatcher;
};

}  // namespace operator_tests
