// One full amplifier download through the menus, as an operator does it: scan, tick the slot,
// Transfer → Download, pick the default firmware, confirm the end. The rack's flash and a
// rescan show the new firmware; the window ends unlocked.
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "operator/forms/choice_list_dialog.h"
#include "tools/fwgen/amplifier_set.h"
#include "window_fixture.h"

namespace forms_tests {
namespace {

constexpr int kRa51Type = 2;
constexpr int kSlot = 1;

nlohmann::json rackWithOldRa51() {
    const auto& model = fwgen::amplifierModel(kRa51Type);
    nlohmann::json rack = DefaultRack();
    rack["processor"] = {{"kind", "KX43"}, {"identity", "QTX,KX43,0,P1.52"}, {"version", "P1.52"}};
    rack["slots"] = nlohmann::json::array({{{"slot", kSlot},
                                            {"kind", model.model},
                                            {"firmwareType", kRa51Type},
                                            {"moduleCode", model.moduleCode},
                                            {"amtNumber", model.amtNumber},
                                            {"subChannels", 4},
                                            {"version", "P2.04"}}});
    return rack;
}

class Download : public WindowTest {
  protected:
    Download() {
        const QString firmware = directory.filePath("firmware");
        QDir().mkpath(firmware);
        fwgen::writeAmplifierSet(firmware.toStdString());
        store("Properties", "DownloadPath", firmware + "/");
        store("Properties", "ResetTimeout3", "4");
    }
};

TEST_F(Download, AmplifierFirmwareThroughTheMenusReachesTheRack) {
    startAndScan(rackWithOldRa51());
    ASSERT_TRUE(box(Slot(kSlot))->text().contains("P2.04"));
    click(Slot(kSlot));
    ASSERT_TRUE(entryEnabled("mnuTransferDown"));

    QStringList offered;
    QString defaultRow;
    bool lockedWhileAsked = false;
    answerer.expect([&](QDialog& dialog) {
        auto& list = static_cast<quorvel::forms::ChoiceListDialog&>(dialog);
        for (int row = 0; row < list.list()->topLevelItemCount(); ++row) {
            offered << list.list()->topLevelItem(row)->text(0);
        }
        defaultRow = list.list()->currentItem()->text(0);
        lockedWhileAsked = window().isLocked();
        const QRect row = list.list()->visualItemRect(list.list()->currentItem());
        QTest::mouseClick(list.list()->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list.list()->viewport(), Qt::LeftButton, {}, row.center());
        if (list.isVisible()) {
            ADD_FAILURE() << "double click did not choose; row " << row.x() << "," << row.y() << " "
                          << row.width() << "x" << row.height();
            list.QDialog::reject();
        }
    });
    // Every message box is confirmed; the last one must be the end of the download.
    for (int i = 0; i < 4; ++i) answerer.expectMessageButton("OK");
    trigger("mnuTransferDown");

    EXPECT_EQ(answerer.unexpected(), 0);
    EXPECT_EQ(defaultRow, "RA51P207.S00");
    EXPECT_TRUE(offered.contains("RA51P207.S00"));
    EXPECT_FALSE(lockedWhileAsked);
    ASSERT_FALSE(answerer.shownTexts().isEmpty());
    EXPECT_EQ(answerer.shownTexts().last(), "Download finished!");
    EXPECT_EQ(state().SelectedFirmwareFile.toUpper(), "RA51P207.S00");
    EXPECT_FALSE(window().isLocked());
    EXPECT_FALSE(window().deviceTree()->isEnabled() == false);
    EXPECT_TRUE(protocol().contains("-->Download finished.<--"));

    trigger("mnuOptionsScan");
    EXPECT_EQ(state().Inventory.slotRecords[kSlot].SoftwareVersion, "P2.07");
    EXPECT_TRUE(box(Slot(kSlot))->text().contains("P2.07"));
}

TEST_F(Download, CancellingTheFirmwareListAsksAndSendsNothing) {
    startAndScan(rackWithOldRa51());
    click(Slot(kSlot));
    const size_t before = rack().received().size();
    bool openAfterNo = false;
    answerer.expect([&](QDialog& dialog) {
        dialog.reject();  // Cancel, answered No: the list stays
        openAfterNo = dialog.isVisible();
        dialog.reject();  // Cancel, answered Yes
    });
    answerer.expectMessageButton("No");
    answerer.expectMessageButton("Yes");
    trigger("mnuTransferDown");
    EXPECT_EQ(answerer.shownTexts(),
              (QStringList{"Cancel download, are you sure?", "Cancel download, are you sure?"}));
    EXPECT_TRUE(openAfterNo);
    EXPECT_TRUE(answerer.allAnswered());
    EXPECT_EQ(rack().received().size(), before);
    EXPECT_TRUE(state().SelectedFirmwareFile.isEmpty());
    EXPECT_FALSE(window().isLocked());
}

}  // namespace
}  // namespace forms_tests
