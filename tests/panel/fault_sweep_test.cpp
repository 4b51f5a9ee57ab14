// Faults at every phase of the panel update and its establish (see fault_sweep.h). Success is
// the panel's flash equal to the application image and the application activated.
#include "fault_sweep.h"

#include <gtest/gtest.h>

#include "link/quorlink.h"
#include "panel_files.h"
#include "rack/panel/dv_panel.h"
#include "tools/fwgen/panel_firmware.h"

using namespace testing_support;
using rack::panel::DvPanel;

namespace {

class PanelUpdateSweep : public FaultSweepFixture {
protected:
    PanelUpdateSweep() {
        files = fwgen::writePanelFirmware(dir.path().string());
        fwgen::writeFileAtomically(files.largeApplication, fwgen::toIntelHex(fwgen::panelApplication("P4.10", 0x60000)));
        image = panel_testing::flatImage(fwgen::panelApplication("P4.10", 0x60000), 1024 * 512);
    }
    void startRack() override {
        useRack({{"processor", {{"kind", "KX43"}}},
                 {"panel", {{"kind", "DV43A"}, {"flash", "large"}, {"version", "P4.02"}}},
                 {"timing", {{"resetMs", 3000}}}});
        ASSERT_EQ(open(), 0);
    }
    int runLoader() override {
        if (int r = UpdateDV(6000, recordMessage, recordProgress, recordStatus, files.largeApplication.c_str(), "4.10",
                             1, 0))
            return r;
        return EstabDV(6000, recordMessage);
    }
    bool effectComplete() override {
        auto& panel = dynamic_cast<DvPanel&>(*rack().panel());
        return panel_testing::firstDifferentSector(panel, image, 0, 1023) < 0 &&
               panel.activated() && panel.identity() == "QTX,DV43A,P4.10,1.00,0012345";
    }
    std::filesystem::path workFolder() const override { return dir.path(); }
    std::vector<std::filesystem::path> keptFiles() const override { return {files.largeApplication}; }

    panel_testing::ScratchDir dir;
    fwgen::PanelFirmwareSet files;
    std::vector<uint8_t> image;
};

TEST_F(PanelUpdateSweep, FaultSweep) { sweep("panel update and establish"); }

}  // namespace
