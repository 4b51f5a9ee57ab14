// The library's long waits in the window: while the module resets or erases, the status bar
// counts down "waiting for the module, up to N s" and the window repaints; afterwards the notice
// is gone and the pause has not slowed the measured rate.
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QStatusBar>

#include "tools/fwgen/amplifier_set.h"
#include "window_fixture.h"

namespace forms_tests {
namespace {

constexpr int kSlot = 3;

class WaitNotice : public WindowTest {
  protected:
    WaitNotice() {
        const QString firmware = firmwareFolder();
        fwgen::writeAmplifierSet(firmware.toStdString());
    }
};

TEST_F(WaitNotice, CountsDownDuringTheModulesPausesAndIsGoneAfterwards) {
    startAndScan(RackWithOldRa51(kSlot));
    click(Slot(kSlot));
    auto* notice = window().statusBar()->findChild<QLabel*>("WaitNotice");
    ASSERT_NE(notice, nullptr);
    PaintedTexts painted(*notice);
    answerer.expect([](QDialog& list) { list.accept(); });  // the default firmware
    for (int i = 0; i < 4; ++i) answerer.expectMessageButton("OK");
    trigger("mnuTransferDown");

    ASSERT_EQ(answerer.shownTexts().value(answerer.shownTexts().size() - 1), "Download finished!");
    ASSERT_FALSE(painted.texts.isEmpty()) << "the notice was never painted during the download";
    static const QRegularExpression form("^waiting for the module, up to (\\d+) s$");
    QList<int> seconds;
    for (const QString& text : painted.texts) {
        const auto match = form.match(text);
        ASSERT_TRUE(match.hasMatch()) << text.toStdString();
        seconds << match.captured(1).toInt();
    }
    EXPECT_GE(*std::max_element(seconds.begin(), seconds.end()), 8) << "the module's 8 s pause";
    EXPECT_TRUE(seconds.contains(1)) << "counted down to the last second";
    EXPECT_TRUE(window().waitNotice().isEmpty());
    EXPECT_FALSE(notice->isVisible());
    EXPECT_FALSE(window().isLocked());
}

TEST(WaitNoticeRate, ThePauseDoesNotCountIntoTheRemainingTime) {
    quorvel::forms::MainWindow window;
    qint64 now = 0;
    window.setClock([&now] { return now; });
    window.setStatusText("Download Firmware...");
    window.setProgress(0);
    now = 2000;
    window.setProgress(10);
    window.setWaitNotice("waiting for the module, up to 8 s");
    now = 10000;
    window.setWaitNotice({});
    now = 12000;
    window.setProgress(20);
    // 20 % in 4 s of work, not in 12 s of wall time.
    EXPECT_EQ(window.progressText(), "Download Firmware...  20%, about 16 s left");
}

}  // namespace
}  // namespace forms_tests
