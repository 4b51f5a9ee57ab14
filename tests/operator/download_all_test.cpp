// Download-all against a rack with two outdated module types and one module that is up to date:
// the to-do list and the protocol line by line, the modules afterwards.
#include "operator/drivers/download_all.h"

#include <QFile>
#include <algorithm>

#include "driver_fixture.h"
#include "operator/drivers/verify_step.h"
#include "operator/drivers/menu_commands.h"
#include "temp_dir.h"

using namespace quorvel;

namespace operator_tests {
namespace {

class DownloadAllTest : public DriverTest {
  protected:
    void SetUp() override {
        startWith(rackOf({amplifierSlot(0, 2, "P2.04"), amplifierSlot(2, 2, "P2.04"),
                          amplifierSlot(3, 3, "P3.10"), amplifierSlot(5, 4, "P6.49")}));
    }
    // The report's head; a rack without a panel has no panel paragraph.
    QStringList header(bool withPanel = true) const {
        const auto& inventory = shell->state().Inventory;
        QStringList lines = {
            "Ventrix: TCP/IP, " + shell->state().Port.ipAdr,
            "File Dir: " + downloadDirectory + "/",
            "",
            "No Firmware file (KX43P*.S00) found for:",
            "- KX: " + inventory.processor.Identity + " --> not selected, no firmware file found",
            ""};
        if (withPanel)
            lines << "No Firmware file (DV43AP*.S00) found for:"
                  << "- DV: QTX,DV43A,P4.10 --> not selected, no firmware file found"
                  << "";
        return lines;
    }
    QString slotLine(int slot, const char* decision) {
        return "- Slot " + QString::number(slot + 1) + " : " + record(slot).Identity + " --> " +
               decision;
    }
};

TEST_F(DownloadAllTest, PlansTwoGroupsLoadsThemAndReports) {
    ui.expectReport(true).expectReport(true);
    ASSERT_EQ(dispatcher->dispatch(menu::kUpdateAll), 0);
    // One position and one estimate over both groups.
    const QStringList steps = testing_support::StepsOfTheRun(ui.positions, ui.positionTimesMs);
    ASSERT_EQ(steps.size(), 16);
    EXPECT_EQ(steps.front(), "group 1 of 2 · slots 1, 3 · step 1 of 8 (switch to loader 1)");
    EXPECT_EQ(steps[8], "group 2 of 2 · slot 4 · step 1 of 8 (switch to loader 1)");
    EXPECT_EQ(steps.back(), "group 2 of 2 · slot 4 · step 8 of 8 (reset)");

    ASSERT_EQ(ui.reports.size(), 2u);
    const ReportView& plan = ui.reports[0];
    EXPECT_EQ(plan.title, "Download All Amplifiers - To Do List");
    EXPECT_EQ(plan.message, "This function may take some time. Start all downloads?");
    EXPECT_EQ(plan.firstButton, "Start");
    EXPECT_EQ(plan.secondButton, "Cancel");
    QStringList groups = {"Firmware file RA51P207.S00, Version P2.07, found for:",
                          "- Slot 1 : QTX-RA51,RA51-WS050,0,P2.04 --> selected for download",
                          "- Slot 3 : QTX-RA51,RA51-WS050,0,P2.04 --> selected for download",
                          "",
                          "Firmware file RA77P311.S00, Version P3.11, found for:",
                          "- Slot 4 : QTX-RA77,RA77-WS081,0,P3.10 --> selected for download",
                          "",
                          "Firmware file RA901BP649.S00, Version P6.49, found for:",
                          "- Slot 6 : QTX-RA901,RA901-WS50B,0,P6.49 --> not selected, version "
                          "is up to date",
                          ""};
    EXPECT_EQ(plan.report.split('\r').join('\n').toStdString(),
              (header() + groups + QStringList{"Components selected for download: 3 in 2 loop(s)."})
                  .join('\n')
                  .toStdString());

    const ReportView& done = ui.reports[1];
    EXPECT_EQ(done.title, "Download All Amplifiers - Protocol");
    EXPECT_EQ(done.message, "Downloads done. No Errors.");
    groups.insert(3, "*** Download started! ***");
    groups.insert(4, "*** Download finished! ***");
    groups.insert(8, "*** Download started! ***");
    groups.insert(9, "*** Download finished! ***");
    EXPECT_EQ(done.report.split('\r').join('\n').toStdString(),
              (header() + groups + QStringList{"Downloads done: 3 in 2 loop(s). No Errors."})
                  .join('\n')
                  .toStdString());

    rescan();
    EXPECT_EQ(record(0).SoftwareVersion, "P2.07");
    EXPECT_EQ(record(2).SoftwareVersion, "P2.07");
    EXPECT_EQ(record(3).SoftwareVersion, "P3.11");
    EXPECT_EQ(record(5).SoftwareVersion, "P6.49");
    EXPECT_FALSE(shell->messages().QuietMessages);
}

// A failed group stops the rest and is not counted.
TEST_F(DownloadAllTest, CancelledToDoListLoadsNothingAndAFailedGroupStopsTheRest) {
    ui.expectReport(false);
    EXPECT_EQ(DownloadAll(*context).run(), DownloadAll::kNotConfirmed);
    rescan();
    EXPECT_EQ(record(0).SoftwareVersion, "P2.04");

    rack().faults().add({"^PRC1,2,P", 10, rack::FaultAction::Drop, 0, 1});
    ui.expectReport(true).expectReport(false);  // closing the protocol declines nothing
    EXPECT_EQ(DownloadAll(*context).run(), -1);
    const QStringList lines = ui.reports.back().report.split('\r');
    EXPECT_TRUE(lines.contains("*** Error -1, function download all exits here! ***"));
    EXPECT_TRUE(lines.contains("*** Download ignored because of failure before! ***"));
    EXPECT_EQ(lines.back(), "Downloads done: 0 in 0 loop(s). Errors, please check protocol.");
    EXPECT_EQ(ui.reports.back().message, "Error! Please reboot Ventrix and start again!");
}

// The newest firmware is the default even where an older file comes first in the listing; a
// module waiting in its loader is never up to date; a new RA901B is not asked about old firmware.
class DefaultsDownloadAllTest : public DownloadAllTest {
  protected:
    void SetUp() override {
        for (const auto& [from, to] : {std::pair{"ra51p207.s00", "ra51p205.s00"},
                                       {"ra51p207p201.ld2", "ra51p205p201.ld2"},
                                       {"ra901bp649.s00", "ra901bp640.s00"},
                                       {"ra901bp649p201.ld2", "ra901bp640p201.ld2"}})
            ASSERT_TRUE(QFile::copy(downloadFile(from), downloadFile(to)));
        auto inLoader = amplifierSlot(0, 2, "P2.07");
        inLoader["layer"] = "loader1";
        auto newHardware = amplifierSlot(5, 4, "P6.40");
        newHardware["hardwareRevision"] = "\"1.20\"";
        startWith(rackOf({inLoader, amplifierSlot(2, 2, "P2.04"), newHardware}));
    }
};

// The modules are loaded and identified at the target, their flash equal to the files.
TEST_F(DefaultsDownloadAllTest, NewestFirmwareAndModulesInTheirLoaders) {
    const QString loader = RunningState(record(0));
    EXPECT_TRUE(loader.startsWith("loader 1 ")) << loader.toStdString();
    const QString loaderLine = slotLine(0, "selected for download (it runs its ") + loader + ")";
    ui.expectReport(true).expectReport(true);
    ASSERT_EQ(dispatcher->dispatch(menu::kUpdateAll), 0);
    const QStringList plan = ui.reports[0].report.split('\r');
    EXPECT_TRUE(plan.contains("Firmware file RA51P207.S00, Version P2.07, found for:"));
    EXPECT_TRUE(plan.contains(loaderLine)) << plan.join('\n').toStdString();
    EXPECT_TRUE(plan.contains("Firmware file RA901BP649.S00, Version P6.49, found for:"));
    EXPECT_EQ(ui.reports[1].message, "Downloads done. No Errors.");
    for (const int slot : {0, 2}) {
        EXPECT_TRUE(holdsFirmware(slot, firmware(2)));
        EXPECT_EQ(record(slot).SoftwareVersion, "P2.07");
    }
    // The type-4 module runs the identity embedded in the file's image.
    EXPECT_EQ(module(5).identity(), firmware(4).identity);
    EXPECT_EQ(record(5).SoftwareVersion, "P6.49");
}

// An F72 module and a plain one of the same model are two types: each group keeps its own
// firmware, and choosing the F72 firmware leaves the module's stored prefix as the scan wrote it.
// The rack has no panel, so the plan has no panel paragraph; each group's run still switches the
// panel out on its first switch to loader 1, which a rack without a panel takes.
class F72DownloadAllTest : public DownloadAllTest {
  protected:
    void SetUp() override {
        fwgen::AmplifierModel model = fwgen::amplifierModel(2);
        model.suffix = "F72";
        model.version = "P2.08";
        f72 = fwgen::amplifierFirmware(model, 2);
        testing_support::writeFile(downloadFile(f72.applicationName).toStdString(),
                                   f72.applicationText);
        testing_support::writeFile(downloadFile(f72.loader2Name).toStdString(), f72.loader2Text);
        auto f72Slot = amplifierSlot(0, 2, "P2.04");
        f72Slot["suffix"] = "F72";
        auto withoutPanel = rackOf({f72Slot, amplifierSlot(1, 2, "P2.04")});
        withoutPanel.erase("panel");
        startWith(withoutPanel);
    }
    fwgen::AmplifierFirmware f72;
};

TEST_F(F72DownloadAllTest, EachVariantKeepsItsOwnGroupAndFirmware) {
    const QStringList groups = {"Firmware file RA51P208.S72, Version P2.08, found for:",
                                slotLine(0, "selected for download"),
                                "",
                                "Firmware file RA51P207.S00, Version P2.07, found for:",
                                slotLine(1, "selected for download"),
                                "",
                                "Components selected for download: 2 in 2 loop(s)."};
    ui.expectReport(true).expectReport(true);
    ASSERT_EQ(dispatcher->dispatch(menu::kUpdateAll), 0);
    EXPECT_EQ(ui.reports[0].report.split('\r').join('\n').toStdString(),
              (header(false) + groups).join('\n').toStdString());
    EXPECT_EQ(ui.reports[1].message, "Downloads done. No Errors.");
    EXPECT_EQ(record(0).TypePrefix, "ra51-F72");
    EXPECT_TRUE(holdsFirmware(0, f72));
    EXPECT_TRUE(holdsFirmware(1, firmware(2)));
    EXPECT_EQ(std::count(rack().received().begin(), rack().received().end(), "PRC2,1"), 2);
    // The tree shows the new versions before any rescan.
    EXPECT_EQ(record(0).Identity, "QTX-RA51,RA51-WS050,F72,P2.08");
    EXPECT_EQ(record(1).SoftwareVersion, "P2.07");
    rescan();
    EXPECT_EQ(record(0).Identity, "QTX-RA51,RA51-WS050,F72,P2.08");
    EXPECT_EQ(record(1).SoftwareVersion, "P2.07");
}

}  // namespace
}  // namespace operator_tests
