// Panel updates against the simulated rack: the panel's flash, identity and state afterwards.
#include <gtest/gtest.h>

#include "link/images/temp_images.h"
#include "link/quorlink.h"
#include "panel_files.h"
#include "rack/panel/dv_panel.h"
#include "sim_rack.h"
#include "tools/fwgen/panel_firmware.h"

using namespace testing_support;
using panel_testing::flatImage;
using rack::panel::DvPanel;

namespace {

nlohmann::json rackWith(const nlohmann::json& panel) {
    return {{"processor", {{"kind", "KX43"}}}, {"panel", panel}, {"timing", {{"resetMs", 3000}}}};
}

class UpdateDVRack : public SimRackTest {
  protected:
    void SetUp() override { files = fwgen::writePanelFirmware(dir.path().string()); }
    void TearDown() override { EXPECT_EQ(quorlink::TempImageCount(), 0); }

    DvPanel& start(const nlohmann::json& panel) {
        useRack(rackWith(panel));
        EXPECT_EQ(open(), 0);
        return dynamic_cast<DvPanel&>(*rack().panel());
    }
    int update(const std::string& path, const char* version, int download = 1, int loaderI = 0) {
        return UpdateDV(6000, recordMessage, recordProgress, recordStatus, path.c_str(), version,
                        download, loaderI);
    }
    // Flash sectors [first, last] equal the image, except the write-protected loader-I area.
    static void expectSectors(const DvPanel& panel, const std::vector<uint8_t>& image, int first,
                              int last) {
        EXPECT_EQ(panel_testing::firstDifferentSector(panel, image, first, last), -1);
    }

    panel_testing::ScratchDir dir;
    fwgen::PanelFirmwareSet files;
};

TEST_F(UpdateDVRack, LargeLayoutApplicationIsProgrammedStartedAndActivated) {
    auto& panel = start({{"kind", "DV43A"}, {"flash", "large"}, {"version", "P4.02"}});
    fwgen::writeFileAtomically(files.largeApplication,
                               fwgen::toIntelHex(fwgen::panelApplication("P4.10", 0x60000)));
    ASSERT_EQ(update(files.largeApplication, "4.10"), 0);
    const auto image = flatImage(fwgen::panelApplication("P4.10", 0x60000), 2048 * 512);
    expectSectors(panel, image, 0, 1023);
    EXPECT_EQ(panel.flash().bytes()[1024 * 512], 0xFF);  // 1024 sectors: the end is below 0x80001
    EXPECT_EQ(panel.portBaud(), 19200);
    EXPECT_FALSE(panel.activated());
    // 64 loader-II pieces, then each sector's exact share truncated (ending at 99), then the
    // application start's 0 … 90 with no 100 in between
    ASSERT_EQ(reports.progress.size(), 64u + 1024u + 10u);
    for (int j = 0; j < 1024; ++j) ASSERT_EQ(reports.progress[64 + size_t(j)], j * 100 / 1024) << j;
    EXPECT_EQ(reports.progress[64 + 1024], 0);

    ASSERT_EQ(EstabDV(6000, recordMessage), 0);
    EXPECT_TRUE(panel.activated());
    EXPECT_EQ(panel.identity(), "QTX,DV43A,P4.10,1.00,0012345");
    EXPECT_EQ(reports.statuses.back().second, "Starting application...");
}

// An end address above 0x80000 programs all 2048 sectors; one of exactly 0x80000 stays at 1024.
TEST_F(UpdateDVRack, EndAddressDecidesBetween1024And2048Sectors) {
    for (const uint32_t end : {0x80001u, 0x80000u}) {
        SCOPED_TRACE(end);
        auto& panel = start({{"kind", "DV43A"}});
        const auto segments = fwgen::panelApplication("P4.20", end);
        fwgen::writeFileAtomically(files.largeApplication, fwgen::toIntelHex(segments));
        ASSERT_EQ(update(files.largeApplication, "4.20"), 0);
        const bool all = end > 0x80000;
        expectSectors(panel, flatImage(segments, 2048 * 512), 0, all ? 2047 : 1023);
        const auto& received = rack().received();
        EXPECT_EQ(
            std::any_of(received.begin(), received.end(),
                        [](const std::string& line) { return line.starts_with("PRC2,2,E0400"); }),
            all);
        if (!all) {
            EXPECT_EQ(panel.flash().bytes()[1024 * 512], 0xFF);
        }
    }
}

// A sector whose sum fails once is repeated; the small layout's application is started with its
// identity.
TEST_F(UpdateDVRack, SmallLayoutApplicationWithASectorRepeated) {
    auto& panel = start({{"kind", "DV33A"}, {"flash", "small"}, {"version", "P2.05"}});
    rack().faults().add({"^PRC2,2,B0005", 1, rack::FaultAction::Garble});
    ASSERT_EQ(update(files.smallApplication, "2.13"), 0);
    const auto& received = rack().received();
    EXPECT_EQ(std::count_if(received.begin(), received.end(),
                            [](const std::string& l) { return l.starts_with("PRC2,2,B0005"); }),
              2);
    expectSectors(panel, flatImage(fwgen::panelApplication("P2.13", 0x30000), 1024 * 256), 0, 1023);
    ASSERT_EQ(EstabDV(6000, recordMessage), 0);
    EXPECT_EQ(panel.identity(), "QTX,DV33A,P2.13,1.00,0012345");
}

TEST_F(UpdateDVRack, LoaderIUpdateWritesOnlyTheLoaderIArea) {
    auto& panel = start({{"kind", "DV43A"}});
    const auto before = panel.flash().bytes();
    ASSERT_EQ(update(files.loaderI, "3.00", 1, 1), 0);
    const auto& after = panel.flash().bytes();
    const auto image = flatImage(fwgen::panelLoaderI(), 1024 * 512);
    const auto loaderIStart = std::ptrdiff_t(1021 * 512);
    EXPECT_TRUE(std::equal(after.begin() + loaderIStart, after.begin() + 1024 * 512,
                           image.begin() + loaderIStart));
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + loaderIStart, before.begin()));
    EXPECT_TRUE(std::equal(after.begin() + 1024 * 512, after.end(), before.begin() + 1024 * 512));
}

TEST_F(UpdateDVRack, BadApplicationFileIsRefusedInTheRangeScan) {
    start({{"kind", "DV43A"}});
    testing_support::writeFile(files.largeApplication, "this is no Intel HEX file\r\n");
    EXPECT_EQ(update(files.largeApplication, "4.10"), -10);
    EXPECT_EQ(lastMessage(),
              "Error in Record-File! \nChecksum-Error, or File is not an Intel-HEX-Recordfile.");
}

TEST_F(UpdateDVRack, PanelWithoutFirmwareIsUpdatedByTheVersionText) {
    auto& panel = start({{"kind", "DV43A"}, {"version", ""}});
    ASSERT_EQ(update(files.largeApplication, "4.10"), 0);
    EXPECT_EQ(panel.flash().applicationVersion(), "P4.10");
}

}  // namespace
