#include "driver_fixture.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "operator/drivers/amplifier_commands.h"
#include "operator/drivers/shell_commands.h"

namespace operator_tests {
namespace {

void copyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
}

}  // namespace

nlohmann::json rackOf(const std::vector<nlohmann::json>& amplifierSlots) {
    return {
        {"timing", {{"resetMs", 1500}}},
        {"processor", {{"kind", "KX43"}, {"identity", "QTX,KX43,0,P2.10"}, {"version", "P2.10"}}},
        {"panel", {{"kind", "DV43A"}, {"version", "P4.10"}}},
        {"slots", amplifierSlots}};
}

DriverTest::DriverTest() {
    const QString program = QDir(directory.path()).filePath("program");
    for (const char* name : {"ws.cfg", "kx.cfg", "NodePod.cfg"})
        copyFile(QString(CONFIG_DIR) + "/" + name, program + "/" + name);
    fwgen::writeAmplifierSet(downloadDirectory.toStdString());
    store("Properties", "DownloadPath", downloadDirectory + "/");
    store("Properties", "ResetTimeout3", "4");
}

void DriverTest::startWith(const nlohmann::json& rack, const QString& startMode) {
    useRack(rack);
    startShell(startMode);
    ASSERT_TRUE(context);
    ASSERT_TRUE(shell->state().Inventory.scanned);
    dispatcher = std::make_unique<quorvel::CommandDispatcher>(*context);
    quorvel::RegisterShellCommands(*dispatcher);
    quorvel::RegisterAmplifierCommands(*dispatcher);
}

void DriverTest::rescan() { ASSERT_EQ(shell->ScanSystem(), quorvel::ScanOutcome::Finished); }

rack::amplifier::AmplifierModule& DriverTest::module(int slot) {
    return dynamic_cast<rack::amplifier::AmplifierModule&>(*rack().slot(slot));
}

fwgen::AmplifierFirmware DriverTest::firmware(int firmwareType) const {
    return fwgen::amplifierFirmware(fwgen::amplifierModel(firmwareType));
}

bool DriverTest::holdsFirmware(int slot, const fwgen::AmplifierFirmware& fw) {
    const auto& flash = module(slot).flash();
    return testing_support::holdsApplication(flash.internal(), flash.external(),
                                             module(slot).config().firmwareType, fw.application);
}

size_t DriverTest::rackReceived(const std::string& command) {
    const auto& lines = rack().received();
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), command));
}

}  // namespace operator_tests
