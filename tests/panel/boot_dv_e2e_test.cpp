// The panel bootstrap through a real serial line: ventrix-sim runs as its own process behind a
// pseudo-terminal that stands in for COM1, and every block is confirmed by the simulated
// controller. The flash updates run in-process: on the wall clock they take minutes.
#include <gtest/gtest.h>


#include "link/quorlink.h"
#include "link_fixture.h"
#include "linkpad/linkpad.h"
#include "panel_files.h"
#include "rack/sim/sim_process.h"
#include "scoped_env.h"
#include "tools/fwgen/panel_firmware.h"

namespace {

TEST(BootDVEndToEnd, WholeImageOverAPseudoTerminal) {
    panel_testing::ScratchDir dir;
    const auto files = fwgen::writePanelFirmware(dir.path().string());
    testing_support::writeFile(dir.file("rack.json"),
                             R"({"processor": {"kind": "KX43"},
                                 "panel": {"kind": "DV43A", "bootstrap": true, "version": ""}})");
    rack::sim::SimProcess sim(VENTRIX_SIM_PROGRAM,
                              {"--rack", dir.file("rack.json"), "--pty", "-q"});
    const testing_support::ScopedEnv com1("QUORVEL_COM1", sim.where());

    auto& reports = testing_support::Reports::current();
    reports.clear();
    std::string serial = "SN-E2E";
    std::string revision = "C3";
    const int result = BootDV(1, files.strapperConfig.c_str(), files.largeApplication.c_str(),
                              files.loaderI.c_str(), serial.data(), revision.data(),
                              testing_support::recordProgress, testing_support::recordStatus);
    ASSERT_FALSE(reports.statuses.empty());
    EXPECT_EQ(result, 0) << reports.statuses.back().second;
    EXPECT_EQ(reports.statuses.back().second, "fertig!");
    EXPECT_EQ(reports.progress.back(), 100);
    const auto log = testing_support::readFile(dir.file("strapper.log"));
    EXPECT_NE(log.find("program " + dir.file("Strapper.dat") + " ..."), std::string::npos);
    EXPECT_TRUE(log.ends_with("finish!\n"));
    QTX_ClosePort();
    EXPECT_EQ(sim.stop(), 0);
}

}  // namespace
