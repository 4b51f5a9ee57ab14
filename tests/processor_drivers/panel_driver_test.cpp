// The panel drivers: the loader-1 download against the simulated rack, and the bootstrap, which
// only a serial line can carry: refused over TCP/IP, run over a pseudo-terminal standing in for
// COM1 with ventrix-sim as its own process.
#include "operator/drivers/panel_driver.h"

#include <filesystem>
#include <fstream>

#include "driver_rack.h"
#include "operator/drivers/device_selection.h"
#include "operator/drivers/verify_step.h"
#include "rack/panel/dv_panel.h"
#include "rack/sim/sim_process.h"
#include "scoped_env.h"
#include "tools/fwgen/panel_firmware.h"

using namespace quorvel;

namespace driver_tests {
namespace {

const QString kStarted =
    "DV33-Application has been started.\rConfirm the message box at DVxx if necessary, wait "
    "until \rit is measuring and press OK!";

class PanelDriverTest : public DriverRackTest {
  protected:
    PanelDriverTest() { files = fwgen::writePanelFirmware(downloads().toStdString()); }
    fwgen::PanelFirmwareSet files;
};

TEST_F(PanelDriverTest, LoaderOneListsOnlyLoaderOneFilesAndTheBootstrapIsRefusedOverTcp) {
    startOn({{"timing", {{"resetMs", 1500}}},
             {"processor", {{"kind", "KX43"}, {"version", "P2.06"}, {"loaderRevision", "2.10"}}},
             {"panel", {{"kind", "DV43A"}, {"version", "P4.10"}}}});
    int refreshed = 0;
    context->refreshDeviceTree = [&refreshed] { ++refreshed; };
    ui.expectList(0).expectMessage(kStarted).expectMessage("DV Firmware-Update complete!");
    ASSERT_EQ(RunPanelDriver(*context, {.loader1 = true}), 0);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(testing_support::StepsOfTheRun(ui.positions, ui.positionTimesMs),
              (QStringList{"panel DV43A · step 1 of 3 (download loader 1)",
                           "panel DV43A · step 2 of 3 (start application)",
                           "panel DV43A · step 3 of 3 (identify panel)"}));
    ASSERT_EQ(ui.lists.size(), 1u);
    ASSERT_EQ(ui.lists[0].rows.size(), 1u);
    EXPECT_EQ(ui.lists[0].rows[0][0], "DV43A100.LD1");
    // Identified again after the run: loader 1 is new, the application the one it had.
    EXPECT_EQ(shell->state().Inventory.panel.SoftwareVersion, "4.10");
    EXPECT_FALSE(shell->state().PanelLoader1) << "only while the list is open";
    // Loader I now fills the panel's last sectors.
    const auto& flash = dynamic_cast<rack::panel::DvPanel&>(*rack().panel()).flash().bytes();
    for (const auto& segment : fwgen::panelLoaderI())
        EXPECT_TRUE(
            std::equal(segment.data.begin(), segment.data.end(), flash.begin() + segment.address));
    EXPECT_EQ(ui.statuses.back(), "Download finished!");
    EXPECT_EQ(protocol().back(), "-->Download DVxx finished.<--");

    // The panel is identified again before the connection closes: a file whose name promises
    // 4.20 but holds 4.10 leaves the panel at 4.10, a failed run the tree shows.
    const std::string large = files.largeApplication.substr(0, files.largeApplication.size() - 7);
    std::filesystem::rename(large + "410.S00", large + "420.S00");
    std::filesystem::rename(large + "410.LD2", large + "420.LD2");
    ui.expectList(0).expectMessage(kStarted).expectMessage("DV Firmware-Update complete!");
    ui.expectMessage("Error: the panel runs 4.10 after the run, not 4.20.\r" +
                     AdviceLines(AdviceFor(phase::kIdentify, "panel download")));
    ui.positions.clear();
    ui.positionTimesMs.clear();
    EXPECT_EQ(RunPanelDriver(*context, {}), kNotAtTarget);
    EXPECT_EQ(testing_support::StepsOfTheRun(ui.positions, ui.positionTimesMs).value(0),
              "panel DV43A · step 1 of 3 (download application)");
    EXPECT_EQ(shell->state().Inventory.panel.SoftwareVersion, "4.10");
    EXPECT_EQ(ui.statuses.back(), "Error download!");

    // The bootstrap takes only a serial line.
    ui.expectMessage(RefusalText(
        "Bootloader DV function only supported for serial port!\rPlease use serial "
        "port COM1 or COM2 and try again!"));
    const size_t sent = rack().received().size();
    EXPECT_EQ(RunPanelBootstrapDriver(*context, {}), kOperationDeclined);
    EXPECT_EQ(rack().received().size(), sent);
}

class BootstrapEndToEnd : public ::testing::Test, public DriverSandbox {};

TEST_F(BootstrapEndToEnd, RunsOverAPseudoTerminalInProductionMode) {
    const auto files = fwgen::writePanelFirmware(downloads().toStdString());
    const std::string rackFile = downloads("rack.json").toStdString();
    // The KX43 hands its line through to the panel's bootstrap ("SYS TRANSF").
    std::ofstream(rackFile) << R"({"processor": {"kind": "KX43"},
        "panel": {"kind": "DV43A", "bootstrap": true, "passThrough": true, "version": ""}})";
    std::ofstream(files.strapperConfig, std::ios::app) << "TRANSF = 1\r\n";
    rack::sim::SimProcess sim(VENTRIX_SIM_PROGRAM, {"--rack", rackFile, "--pty", "-q"});
    testing_support::ScopedEnv com1("QUORVEL_COM1", sim.where());  // COM1 is the pseudo-terminal
    store("Properties", "CommPort", "COM1");
    ui.expectMessage("Error on disable DVxx!");  // the panel's firmware does not run
    startShell("P");
    shell->state().Inventory.panel.PanelType = "DV43A";  // the bootstrap keeps the panel silent
    DeviceSelection tree(shell->state());
    int refreshed = 0;
    context->tickPanel = [&tree] { tree.tickPanelForBootstrap(); };
    context->refreshDeviceTree = [&refreshed] { ++refreshed; };
    ui.expectList(0).expectMessage("DV bootstraploader finished successfully!");
    EXPECT_EQ(RunPanelBootstrapDriver(*context, {"SN-4711", "B2"}), 0)
        << (ui.statuses.empty() ? "" : ui.statuses.back().toStdString());
    EXPECT_TRUE(tree.panel().ticked && tree.panel().enabled) << "production start: no question";
    EXPECT_TRUE(context->selection.panel);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(ui.statuses.back(), "Bootloader DV finished!");
    EXPECT_EQ(sim.stop(), 0);
}

}  // namespace
}  // namespace driver_tests
