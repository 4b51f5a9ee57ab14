// The panel loaders through real ports: ventrix-sim runs as its own process, behind a
// pseudo-terminal that stands in for COM1 for the bootstrap (every block is confirmed by the
// simulated controller), and on loopback TCP for an activation (the panel accepts "PRC2,4" only
// from an application its loader II started). The flash updates themselves run in-process: on
// the wall clock they take minutes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "linkpad/linkpad.h"
#include "panel_files.h"
#include "rack/sim/sim_process.h"
#include "tools/fwgen/panel_firmware.h"

namespace {

// Points COM1 at the simulator's pseudo-terminal for one test.
class ComOneAt {
  public:
    explicit ComOneAt(const std::string& device) {
        if (const char* old = std::getenv("QUORVEL_COM1")) previous_ = old;
        ::setenv("QUORVEL_COM1", device.c_str(), 1);
    }
    ~ComOneAt() {
        if (previous_.empty())
            ::unsetenv("QUORVEL_COM1");
        else
            ::setenv("QUORVEL_COM1", previous_.c_str(), 1);
    }
    ComOneAt(const ComOneAt&) = delete;
    ComOneAt& operator=(const ComOneAt&) = delete;

  private:
    std::string previous_;
};

TEST(BootDVEndToEnd, WholeImageOverAPseudoTerminal) {
    panel_testing::ScratchDir dir;
    const auto files = fwgen::writePanelFirmware(dir.path().string());
    panel_testing::writeText(dir.file("rack.json"),
                             R"({"processor": {"kind": "KX43"},
                                 "panel": {"kind": "DV43A", "bootstrap": true, "version": ""}})");
    rack::sim::SimProcess sim(VENTRIX_SIM_PROGRAM,
                              {"--rack", dir.file("rack.json"), "--pty", "-q"});
    ComOneAt com1(sim.where());

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
    const auto log = panel_testing::readText(dir.file("strapper.log"));
    EXPECT_NE(log.find("program " + dir.file("Strapper.dat") + " ..."), std::string::npos);
    EXPECT_TRUE(log.ends_with("finish!\n"));
    QTX_ClosePort();
    EXPECT_EQ(sim.stop(), 0);
}

void quiet(int32_t) {}

TEST(UpdateDVEndToEnd, ActivationOverTcp) {
    panel_testing::ScratchDir dir;
    const auto files = fwgen::writePanelFirmware(dir.path().string());
    panel_testing::writeText(dir.file("rack.json"),
                             R"({"processor": {"kind": "KX43"},
                                 "panel": {"kind": "DV33A", "flash": "small", "version": "P2.13"}})");
    rack::sim::SimProcess sim(VENTRIX_SIM_PROGRAM,
                              {"--rack", dir.file("rack.json"), "--tcp", "127.0.0.1:0", "-q"});
    ASSERT_EQ(OpenConnection(100, 0, sim.where().c_str(), 0, 0, 6000, quiet, -1, 0), 0);
    EXPECT_EQ(UpdateDV(6000, quiet, quiet, quiet, files.smallApplication.c_str(), "2.13", 0, 0), 0);
    EXPECT_EQ(EstabDV(6000, quiet), 0);
    std::string identity(256, '\0');
    int32_t length = 0;
    std::string hardware(64, '\0');
    int32_t hardwareLength = 0;
    ASSERT_EQ(
        GetComponentType(2000, 33, 0, quiet, identity.data(), &length, nullptr, nullptr, nullptr,
                         nullptr, nullptr, 0, hardware.data(), &hardwareLength, nullptr, nullptr),
        0);
    EXPECT_EQ(identity.substr(0, size_t(length)), "QTX,DV33A,P2.13,1.00,0012345");
    CloseConnection();
    EXPECT_EQ(sim.stop(), 0);
}

}  // namespace
