#pragma once
// The drivers against the simulated rack in-process, on the virtual clock, with the strict
// scripted UI: a temporary installation (hardware tables, download directory with test firmware
// of every amplifier type, settings, protocol log), the shell started and the rack scanned.
#include <QTemporaryDir>
#include <memory>
#include <nlohmann/json.hpp>

#include "operator/drivers/command_dispatcher.h"
#include "operator/drivers/driver_context.h"
#include "rack/amplifier/amplifier_module.h"
#include "sim_rack.h"
#include "strict_ui.h"
#include "tools/fwgen/amplifier_set.h"

namespace operator_tests {

// A slot holding the model the test firmware of `firmwareType` is made for, at `version`.
nlohmann::json amplifierSlot(int slot, int firmwareType, const std::string& version);
// A rack with a KX43 (firmware that relays uploads over TCP) and the given slots, no panel.
nlohmann::json rackOf(const std::vector<nlohmann::json>& slots);

class DriverTest : public testing_support::SimRackTest {
  protected:
    DriverTest();
    ~DriverTest() override;

    // Builds the rack, starts the shell in `startMode` and scans.
    void startWith(const nlohmann::json& rack, const QString& startMode = {});
    // Scans again (after a driver changed the rack).
    void rescan();

    rack::amplifier::AmplifierModule& module(int slot);
    const quorvel::SlotRecord& record(int slot) {
        return shell->state().Inventory.slotRecords[slot];
    }
    // The protocol entries written since start-up, without date and time.
    QStringList protocol() const;
    // True when the flash of `slot` holds the test firmware of its type.
    bool holdsFirmware(int slot, const fwgen::AmplifierFirmware& firmware);
    // The firmware written into the download directory for `firmwareType`.
    fwgen::AmplifierFirmware firmware(int firmwareType) const;
    QString downloadFile(const std::string& name) const;
    size_t rackReceived(const std::string& command) const;

    QTemporaryDir directory;
    QString programDirectory, downloadDirectory, logFile;
    testing_support::StrictUi ui;
    std::unique_ptr<quorvel::OperatorShell> shell;
    std::unique_ptr<quorvel::DriverContext> context;
    std::unique_ptr<quorvel::CommandDispatcher> dispatcher;
};

}  // namespace operator_tests
