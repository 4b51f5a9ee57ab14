// While the NodePod window works, the library's long waits count down in that window's own
// status bar, not in the main window behind it.
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>

#include "tools/fwgen/nodepod_set.h"
#include "window_fixture.h"

namespace forms_tests {
namespace {

constexpr int kRa56Slot = 8;  // in the default rack, with three heads

class NodePodWaits : public WindowTest {
  protected:
    NodePodWaits() {
        const QString firmware = firmwareFolder();
        fwgen::NodePodSet set;
        fwgen::writeNodePodSet(firmware.toStdString(), set);
        fwgen::writeNodePodConfig(programDirectory.toStdString(), {set.type});
    }
};

TEST_F(NodePodWaits, CountDownInTheNodePodWindowsStatusBar) {
    startAndScan();
    click(Slot(kRa56Slot));
    // the first head's name comes late: the scan waits for it
    rack().faults().add({"^PCH\\?2,", 1, rack::FaultAction::Delay, 3000, 1});
    PaintedTexts behind(*window().statusBar()->findChild<QLabel*>("WaitNotice"));
    QStringList shown, shownBehind;
    bool goneAfterScan = false;
    answerer.expect([&](QDialog& dialog) {
        auto* notice = dialog.findChild<QLabel*>("WaitNotice");
        ASSERT_NE(notice, nullptr);
        PaintedTexts painted(*notice);
        QCoreApplication::processEvents();  // the scan starts once the window is up
        shown = painted.texts;
        shownBehind = behind.texts;
        goneAfterScan = !notice->isVisible();
        dialog.reject();
    });
    trigger("mnuTransferNodePodDown");

    ASSERT_FALSE(shown.isEmpty()) << "no wait was told in the NodePod window";
    for (const QString& text : shown)
        EXPECT_TRUE(text.startsWith("waiting for the module, up to ")) << text.toStdString();
    EXPECT_TRUE(goneAfterScan);
    EXPECT_TRUE(shownBehind.isEmpty()) << shownBehind.join('|').toStdString();
    EXPECT_TRUE(answerer.allAnswered());
    EXPECT_FALSE(window().isLocked());
}

}  // namespace
}  // namespace forms_tests
