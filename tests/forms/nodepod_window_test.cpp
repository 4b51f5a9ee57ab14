// The NodePod window opened from the main window against the simulated rack's RA56 and its
// heads: the scan on opening with its waits told in the window's own status bar, boxes and
// buttons, a download into every head with their flash compared, closing refused while the scan
// runs, and the rack reset when the window is left.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>

#include "nodepod_heads.h"
#include "operator/forms/choice_list_dialog.h"
#include "operator/forms/nodepod_dialog.h"
#include "rack/nodepod/ra56_module.h"
#include "tools/fwgen/nodepod_set.h"
#include "window_fixture.h"

namespace forms_tests {
namespace {

using quorvel::forms::NodePodDialog;

constexpr int kRa56Slot = 8;  // in the default rack, with heads 2, 4 (new hardware) and 100

class NodePodWindow : public WindowTest {
  protected:
    NodePodWindow() {
        const QString firmware = firmwareFolder();
        fwgen::writeNodePodSet(firmware.toStdString(), set);
        fwgen::writeNodePodConfig(programDirectory.toStdString(), {set.type});
        store("Properties", "ResetTimeout3", "2");
    }

    rack::nodepod::Ra56Module& ra56() {
        return dynamic_cast<rack::nodepod::Ra56Module&>(*rack().slot(kRa56Slot));
    }
    bool flashHoldsNewApplication(int id) {
        return testing_support::flashHoldsApplication(*ra56().node(id), set);
    }
    long resets() { return std::count(rack().received().begin(), rack().received().end(), "RST"); }
    void openFromPicture() {
        QWidget* picture = window().deviceTree()->nodePodPicture(kRa56Slot);
        QTest::mouseDClick(picture, Qt::LeftButton, {}, picture->rect().center());
    }

    fwgen::NodePodSet set;
};

TEST_F(NodePodWindow, ScanTickDownloadEveryHeadAndResetOnLeaving) {
    startAndScan();
    click(Slot(kRa56Slot));
    ASSERT_TRUE(entryEnabled("mnuTransferNodePodDown"));
    const long resetsBefore = resets();
    // The first head's name comes late: the scan waits for it, counting down in the NodePod
    // window's own status bar, not in the main window behind it.
    rack().faults().add({"^PCH\\?2,", 1, rack::FaultAction::Delay, 3000, 1});
    PaintedTexts behind(*window().statusBar()->findChild<QLabel*>("WaitNotice"));
    QStringList captions, waitsShown, waitsShownBehind;
    bool noticeGoneAfterScan = false;
    bool scanShownStop = false, okAfterScan = true, okAfterTick = false;
    QString statusAfterDownload, frameTitle;
    int progressAfterScan = -1;
    answerer.expect([&](QDialog& dialog) {
        auto& nodePod = static_cast<NodePodDialog&>(dialog);
        scanShownStop = nodePod.stopOrExitButton()->text().remove('&') == "Cancel";
        auto* notice = dialog.findChild<QLabel*>("WaitNotice");
        ASSERT_NE(notice, nullptr);
        PaintedTexts painted(*notice);
        QCoreApplication::processEvents();  // the scan starts once the window is up
        waitsShown = painted.texts;
        waitsShownBehind = behind.texts;
        noticeGoneAfterScan = !notice->isVisible();
        frameTitle = nodePod.findChild<QGroupBox*>("frameChoose")->title();
        progressAfterScan = nodePod.progress();
        for (int i = 0; i < 3; ++i) captions << nodePod.nodeBox(i)->text();
        okAfterScan = nodePod.downloadButton()->isEnabled();
        nodePod.nodeBox(0)->click();
        okAfterTick = nodePod.downloadButton()->isEnabled();
        nodePod.selectAllButton()->click();  // ticks the other two as well
        nodePod.downloadButton()->click();   // firmware list, then the download
        statusAfterDownload = nodePod.statusText();
        nodePod.stopOrExitButton()->click();
    });
    answerer.expect([](QDialog& list) { list.accept(); });  // the default NodePod firmware
    trigger("mnuTransferNodePodDown");

    EXPECT_TRUE(scanShownStop);
    ASSERT_FALSE(waitsShown.isEmpty()) << "no wait was told in the NodePod window";
    for (const QString& text : waitsShown)
        EXPECT_TRUE(text.startsWith("waiting for the module, up to ")) << text.toStdString();
    EXPECT_TRUE(noticeGoneAfterScan);
    EXPECT_TRUE(waitsShownBehind.isEmpty()) << waitsShownBehind.join('|').toStdString();
    EXPECT_EQ(frameTitle, "NODEPOD system components (slot 9)");
    EXPECT_EQ(progressAfterScan, 0);
    EXPECT_EQ(captions, (QStringList{"1 - P1.00, #1002, NodePod-S", "2 - P2.05, #1004, NodePod-S",
                                     "3 - L1.10, #1100"}));
    EXPECT_FALSE(okAfterScan);
    EXPECT_TRUE(okAfterTick);
    EXPECT_EQ(statusAfterDownload, "Download finished!");
    EXPECT_EQ(state().SelectedFirmwareFile.toUpper(), "NP21P205.S19");
    EXPECT_EQ(answerer.unexpected(), 0);
    for (const int id : {2, 4, 100}) EXPECT_TRUE(flashHoldsNewApplication(id)) << id;
    EXPECT_EQ(resets(), resetsBefore + 1) << "leaving the window resets the rack once";
    EXPECT_TRUE(protocol().contains("-->Download NODEPOD finished.<--"));
    EXPECT_FALSE(window().isLocked());
}

// Each head shows its version against the newest file for its type; loading an older file than
// a ticked head runs asks first, and No sends nothing.
TEST_F(NodePodWindow, VersionsAgainstTheNewestFileAndAnOlderFileAskedFirst) {
    fwgen::NodePodSet older = set;
    older.version = "1.10";
    const QString olderFile = QFileInfo(QString::fromStdString(
        fwgen::writeNodePodSet(directory.filePath("firmware").toStdString(), older).application))
                                  .fileName();
    startAndScan();
    click(Slot(kRa56Slot));
    QStringList notes;
    std::vector<QDialogButtonBox::ButtonRole> roles;
    size_t sentBefore = 0, sentAfter = 0;
    answerer.expect([&](QDialog& dialog) {
        auto& nodePod = static_cast<NodePodDialog&>(dialog);
        QCoreApplication::processEvents();  // the scan
        for (int i = 0; i < 3; ++i) notes << nodePod.versionNote(i)->text();
        auto* box = qobject_cast<QDialogButtonBox*>(nodePod.downloadButton()->parentWidget());
        ASSERT_NE(box, nullptr) << "the buttons follow the platform's order";
        roles = {box->buttonRole(nodePod.downloadButton()), box->buttonRole(nodePod.selectAllButton()),
                 box->buttonRole(nodePod.directoryButton()), box->buttonRole(nodePod.stopOrExitButton())};
        nodePod.nodeBox(1)->click();  // runs P2.05
        sentBefore = rack().received().size();
        nodePod.downloadButton()->click();
        sentAfter = rack().received().size();
        nodePod.stopOrExitButton()->click();
    });
    answerer.expect([&](QDialog& dialog) {
        auto& list = static_cast<quorvel::forms::ChoiceListDialog&>(dialog);
        const auto found = list.list()->findItems(olderFile, Qt::MatchFixedString);
        ASSERT_EQ(found.size(), 1);
        list.list()->setCurrentItem(found.first());
        list.accept();
    });
    answerer.expectMessageButton("No");
    trigger("mnuTransferNodePodDown");

    using Role = QDialogButtonBox::ButtonRole;
    EXPECT_EQ(roles, (std::vector<Role>{QDialogButtonBox::AcceptRole, QDialogButtonBox::ActionRole,
                                        QDialogButtonBox::ActionRole, QDialogButtonBox::RejectRole}));
    EXPECT_EQ(notes, (QStringList{"update: P2.05 (runs P1.00)", "up to date: runs P2.05",
                                  "runs a loader, newest file P2.05"}));
    EXPECT_TRUE(answerer.shownTexts().contains(
        "NODEPOD ID 4 (#1004) runs 2.05; the chosen file is 1.10. Load the older version?"))
        << answerer.shownTexts().join('|').toStdString();
    EXPECT_EQ(sentAfter, sentBefore) << "declined: nothing sent";
    EXPECT_TRUE(answerer.allAnswered());
    EXPECT_EQ(answerer.unexpected(), 0);
}

TEST_F(NodePodWindow, ClosingIsRefusedWhileTheScanRunsAndStopEndsIt) {
    startAndScan();
    click(Slot(kRa56Slot));
    bool visibleAfterClose = false;
    int nodesFound = -1;
    QString exitCaption, stoppedStatus;
    answerer.expect([&](QDialog& dialog) {
        auto& nodePod = static_cast<NodePodDialog&>(dialog);
        // Stop and close while the first head is being asked: close is refused, stop ends the
        // scan after that head.
        bool asked = false;
        QObject::connect(nodePod.findChild<QProgressBar*>("ProgressBar2"),
                         &QProgressBar::valueChanged, &nodePod, [&](int) {
                             if (asked) return;
                             asked = true;
                             nodePod.stopOrExitButton()->click();
                             nodePod.close();
                             visibleAfterClose = nodePod.isVisible();
                         });
        QCoreApplication::processEvents();
        nodesFound = static_cast<int>(nodePod.model().nodes().size());
        exitCaption = nodePod.stopOrExitButton()->text().remove('&');
        stoppedStatus = nodePod.statusText();
        nodePod.close();
    });
    openFromPicture();
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(nodesFound, 1) << "the scan ends after the head being asked";
    EXPECT_EQ(stoppedStatus, "Scan stopped: 1 node found");
    EXPECT_EQ(exitCaption, "Exit");
    EXPECT_EQ(answerer.unexpected(), 0);
    EXPECT_TRUE(answerer.allAnswered());
}

}  // namespace
}  // namespace forms_tests
