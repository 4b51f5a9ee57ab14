// One full amplifier download through the menus, as an operator does it: scan, tick the slot,
// Transfer → Download, pick the default firmware, confirm the end. The rack's flash and a
// rescan show the new firmware; the window ends unlocked. The wait notice counts down meanwhile.
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <limits>

#include "operator/cli/simulated_firmware.h"
#include "operator/forms/choice_list_dialog.h"
#include "operator/forms/run_view_dialog.h"
#include "tools/fwgen/amplifier_set.h"
#include "window_fixture.h"

namespace forms_tests {
namespace {

constexpr int kSlot = 1;

// The default rack with a KX43 and, as its only module, an RA51 with the old version P2.04.
nlohmann::json rackWithOldRa51() {
    constexpr int kRa51Type = 2;
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
        const QString firmware = firmwareFolder();
        fwgen::writeAmplifierSet(firmware.toStdString());
        store("Properties", "ResetTimeout3", "4");
    }
};

// Cancelling the firmware list asks first and sends nothing; then the download itself, with the
// module's pauses counted down in the status bar and the notice gone afterwards.
TEST_F(Download, AmplifierFirmwareThroughTheMenusReachesTheRack) {
    startAndScan(rackWithOldRa51());
    ASSERT_TRUE(box(Slot(kSlot))->text().contains("P2.04"));
    EXPECT_EQ(window().deviceTree()->mark(Slot(kSlot))->text(), "update: P2.07");
    click(Slot(kSlot));
    ASSERT_TRUE(entryEnabled("mnuTransferDown"));

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

    auto* notice = window().statusBar()->findChild<QLabel*>("WaitNotice");
    ASSERT_NE(notice, nullptr);
    PaintedTexts painted(*notice);
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
    // The run position beside the bar, its whole-run estimate on the rack's (virtual) clock.
    window().setClock([this] { return static_cast<qint64>(clock.nowMs()); });
    struct Shown {
        QString text;
        qint64 atMs;
    };
    std::vector<Shown> positions;
    QObject::connect(&window(), &quorvel::forms::MainWindow::runPositionShown,
                     [&](const QString& text) { positions.push_back({text, clock.nowMs()}); });
    trigger("mnuTransferDown");

    EXPECT_EQ(answerer.unexpected(), 0);
    EXPECT_EQ(defaultRow, "RA51P207.S00");
    EXPECT_TRUE(offered.contains("RA51P207.S00"));
    EXPECT_FALSE(lockedWhileAsked);
    EXPECT_EQ(answerer.shownTexts().last(), "Download finished!");
    EXPECT_EQ(answerer.shownTitles().last(), "Quorvel – Download Ventrix Firmware");
    EXPECT_FALSE(window().findChild<QProgressBar*>("ProgressBar1")->isVisibleTo(&window()));
    EXPECT_EQ(state().SelectedFirmwareFile.toUpper(), "RA51P207.S00");
    EXPECT_FALSE(window().isLocked());
    EXPECT_TRUE(window().deviceTree()->isEnabled());
    EXPECT_TRUE(protocol().contains("-->Download finished.<--"));

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

    static const QRegularExpression positionForm(
        "^slot 2 · step (\\d) of 8 \\(([a-z0-9 ]+)\\) · whole run about (?:(\\d+) min )?(\\d+) s left$");
    ASSERT_GE(positions.size(), 9u);
    QStringList steps;
    qint64 lastEstimateMs = std::numeric_limits<qint64>::max();
    for (size_t i = 0; i + 1 < positions.size(); ++i) {
        const auto match = positionForm.match(positions[i].text);
        ASSERT_TRUE(match.hasMatch()) << positions[i].text.toStdString();
        const QString step = match.captured(1) + " " + match.captured(2);
        if (steps.isEmpty() || steps.last() != step) steps << step;
        const qint64 estimateMs =
            (match.captured(3).toLongLong() * 60 + match.captured(4).toLongLong()) * 1000;
        EXPECT_LE(estimateMs, lastEstimateMs) << "the estimate never grows: "
                                              << positions[i].text.toStdString();
        lastEstimateMs = estimateMs;
        if (i == 0) {
            const qint64 runMs = positions.back().atMs - positions.front().atMs;
            EXPECT_NEAR(static_cast<double>(estimateMs), static_cast<double>(runMs), static_cast<double>(runMs) / 4)
                << "the plan's estimate for the whole run, against the run on the rack's clock";
        }
    }
    EXPECT_EQ(steps, (QStringList{"1 switch to loader 1", "2 download loader 2",
                                  "3 download application", "4 start application",
                                  "5 verify new firmware", "6 loader 2 of the new firmware",
                                  "7 establish", "8 reset"}));
    EXPECT_TRUE(positions.back().text.isEmpty()) << "the position goes when the run ends";
    EXPECT_TRUE(window().runPositionText().isEmpty());

    // Tools → Reset VTX system: no bar, the rack's restart counted down beside the status.
    painted.texts.clear();
    trigger("mnuToolsResetVTX");
    EXPECT_EQ(window().statusText(), "Reset VTX finished.");
    ASSERT_FALSE(painted.texts.isEmpty());
    EXPECT_EQ(painted.texts.first(), "waiting for the rack, up to 4 s");
    EXPECT_TRUE(painted.texts.contains("waiting for the rack, up to 1 s"))
        << painted.texts.join('|').toStdString();
    EXPECT_TRUE(window().waitNotice().isEmpty());

    trigger("mnuOptionsScan");
    EXPECT_EQ(state().Inventory.slotRecords[kSlot].SoftwareVersion, "P2.07");
    EXPECT_TRUE(box(Slot(kSlot))->text().contains("P2.07"));
    EXPECT_EQ(window().deviceTree()->mark(Slot(kSlot))->text(), "up to date");
}

// The shipped rack against the simulation's test firmware: every kind of device carries a mark
// with its state, the module left in loader 1 asks for attention and says why, and the summary
// line counts them.
TEST_F(WindowTest, EveryDeviceIsMarkedWithItsStateAndTheSummaryCountsThem) {
    const quorvel::cli::SimulatedFirmware firmware(CONFIG_DIRECTORY);
    store("Properties", "DownloadPath", firmware.downloadDirectory());
    startAndScan(DefaultRack());
    using quorvel::DeviceState;
    const struct {
        DeviceRef device;
        DeviceState state;
        QString text;
    } cases[] = {
        {kProcessor, DeviceState::Outdated, "update: P2.06"},
        {kPanel, DeviceState::Outdated, "update: P4.20"},
        {Slot(0), DeviceState::Outdated, "update: P2.07"},
        {Slot(1), DeviceState::Outdated, "update: P2.07"},  // F72 firmware for the F72 module
        {Slot(2), DeviceState::Empty, ""},
        {Slot(7), DeviceState::Attention, "needs attention"},
        {Slot(8), DeviceState::Outdated, "update: P2.11"},
    };
    for (const auto& c : cases) {
        const auto* mark = window().deviceTree()->mark(c.device);
        EXPECT_EQ(mark->state(), c.state) << c.text.toStdString();
        EXPECT_EQ(mark->text(), c.text);
    }
    EXPECT_TRUE(window().deviceTree()->mark(Slot(7))->toolTip().startsWith("runs loader 1"))
        << window().deviceTree()->mark(Slot(7))->toolTip().toStdString();
    EXPECT_EQ(window().summary(), "8 of 9 devices can be updated, 1 needs attention");
}

TEST_F(Download, AFailureSaysWhatHappenedWhatIsLeftAndSavesDiagnostics) {
    startAndScan(rackWithOldRa51());
    click(Slot(kSlot));
    rack().faults().add({"^PRC1,2,P$", 100, rack::FaultAction::Drop});
    const QString saved = directory.filePath("diagnostics.txt");
    QString summary;
    const auto answerAny = [&](QDialog& dialog) {
        if (auto* view = qobject_cast<quorvel::forms::RunViewDialog*>(&dialog)) {
            summary = view->text()->toPlainText();
            view->saveDiagnostics();
            view->reject();
        } else if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(saved);
            dialog.accept();  // through QDialog: the file dialog checks and takes the name
        } else if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            (box->defaultButton() ? box->defaultButton() : box->buttons().first())->click();
        } else {
            dialog.accept();  // the firmware list's default row
        }
    };
    for (int i = 0; i < 12; ++i) answerer.expect(answerAny);
    trigger("mnuTransferDown");

    EXPECT_TRUE(summary.contains("What happened: Port Timeout!")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("State of the device: The firmware was being replaced"));
    // The slot's row and its box in the tree show it waiting in its loader, without a rescan.
    EXPECT_TRUE(summary.contains(
        "Slot 2 RA51: P2.04 -> P2.07, now V1.02, failed (download application)"))
        << summary.toStdString();
    EXPECT_TRUE(box(Slot(kSlot))->text().contains(",L1,V1.02")) << box(Slot(kSlot))->text().toStdString();
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("What happened: Port Timeout!"));
    EXPECT_TRUE(text.contains("\"operation\": \"download\""));
    EXPECT_TRUE(text.contains("-->Download RAxx.<--")) << "the protocol log is in the file";
    EXPECT_TRUE(text.contains("DownloadPath")) << "the settings are in the file";
    EXPECT_FALSE(window().isLocked());
}

}  // namespace
}  // namespace forms_tests
