#include "operator/cli/scan_command.h"

#include <iostream>
#include <memory>
#include <string>

#include "linkpad/linkpad.h"
#include "operator/cli/exit_codes.h"
#include "operator/cli/inventory_report.h"
#include "operator/cli/simulated_rack.h"
#include "operator/shell/operator_shell.h"

namespace quorvel::cli {
namespace {

constexpr int kHighestNormalBaud = 38400;

std::unique_ptr<SimulatedRack> startSimulation(const CommonOptions& common, CliUi& ui) {
    const std::string file = common.simulate->empty() ? DefaultRackFile() : *common.simulate;
    auto rack = std::make_unique<SimulatedRack>(file);
    ui.note("simulated rack " + file + " on " + rack->address());
    return rack;
}

// The stored port settings with the command line's changes, in memory only.
bool choosePort(OperatorShell& shell, const CommonOptions& common, const SimulatedRack* rack,
                CliUi& ui) {
    PortSettings port = shell.state().Port;
    if (rack) {
        port.commPort = "Ethernet TCP/IP";
        port.ipAdr = QString::fromStdString(rack->address());
    }
    if (const auto problem = ApplyPortOverrides(common.port, port)) {
        ui.error(*problem);
        return false;
    }
    if (common.port.baud && *common.port.baud > kHighestNormalBaud) {
        ui.error("baud rates above 38400 are not used by the rack's loaders; use 9600, 19200 "
                 "or 38400");
        return false;
    }
    shell.state().Port = port;
    shell.ComputeConnectionParameters();
    return true;
}

// Why the port library could not open the port, as it told the traffic log.
std::string portError() {
    const int32_t length = QTX_GetLastError(nullptr, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    QTX_GetLastError(text.data(), static_cast<int32_t>(text.size()));
    text.resize(static_cast<size_t>(length));
    return text;
}

int scanFailure(ScanOutcome outcome, OperatorShell& shell, CliUi& ui) {
    if (outcome != ScanOutcome::ConnectionFailed) return kExitFailed;
    const int result = shell.lastConnectionResult();
    const PortSettings& port = shell.state().Port;
    ui.error(ConnectionAdvice(result, port, portError()));
    return IsNoAnswer(result, port) ? kExitNoRack : kExitFailed;
}

void printInventory(const DeviceInventory& inventory, bool json) {
    if (json) {
        std::cout << InventoryJson(inventory).dump(2) << std::endl;
    } else {
        std::cout << InventoryTable(inventory) << std::flush;
    }
}

}  // namespace

int RunScan(const CommonOptions& common, const ScanOptions& scan) {
    CliUi ui(common.ui);
    std::unique_ptr<SimulatedRack> rack;
    try {
        if (common.simulate) rack = startSimulation(common, ui);
    } catch (const std::exception& e) {
        ui.error(std::string("cannot start the simulated rack: ") + e.what());
        return kExitFailed;
    }
    ShellEnvironment environment;
    environment.programDirectory = QString::fromStdString(common.configDirectory);
    OperatorShell shell(ui, environment);
    if (!shell.start({})) return kExitFailed;
    if (!choosePort(shell, common, rack.get(), ui)) return kExitFailed;
    ui.note("scanning over " + ui.portSummary().toStdString());

    const ScanOutcome outcome = shell.ScanSystem();
    const DeviceInventory inventory = shell.state().Inventory;
    shell.shutdown();
    if (outcome != ScanOutcome::Finished && outcome != ScanOutcome::ProcessorOnly) {
        return scanFailure(outcome, shell, ui);
    }
    printInventory(inventory, scan.json);
    if (inventory.processor.Identity == "not detected") {
        ui.error("no communication processor answered its identification; check the rack.");
        return kExitNoRack;
    }
    if (outcome == ScanOutcome::ProcessorOnly) {
        ui.note("the processor runs its boot loader; panel and slots were not scanned.");
    }
    return kExitDone;
}

}  // namespace quorvel::cli
