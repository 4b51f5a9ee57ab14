// The run summary from run reports (state left and next step by the failing phase, one row per
// slot with its versions), and the diagnostics file with every part and no partial file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "operator/forms/diagnostics.h"
#include "operator/forms/main_window.h"
#include "operator/drivers/run_plan.h"
#include "operator/forms/run_summary.h"
#include "strict_ui.h"

namespace forms_tests {
namespace {

using namespace quorvel;
using quorvel::forms::RunSummary;
using quorvel::forms::SummariseRun;

DeviceInventory inventory(const QString& version) {
    DeviceInventory rack;
    for (int slot : {1, 2}) {
        SlotRecord& r = rack.slotRecords[static_cast<size_t>(slot)];
        r.Present = true;
        r.IdentifiedType = "RA51";
        r.SoftwareVersion = version;
    }
    return rack;
}

// An amplifier download over slots 2 and 3 whose phase `failing` fails (none: all done).
RunReport download(const QString& failing) {
    RunReport report("download");
    for (const QString name : {"switch to loader 1", "download loader 2", "download application",
                               "verify new firmware", "establish"}) {
        Phase& phase = report.beginPhase(name);
        phase.details << "slots 2,3";
        if (name == "download application") phase.details << "/fw/RA51P207.S00";
        if (name == failing) {
            report.addMessage(ReportMessage::Kind::Warning, "Port Timeout!");
            report.failPhase();
            report.setResult(-1);
            break;
        }
    }
    return report;
}

TEST(RunSummary, FailingPhaseDecidesStateAndNextStepASuccessListsNewVersions) {
    struct Case {
        QString failing;
        QString state;  // the start of the state text
        QString phase;  // the last phase of each slot
        QString target;
    };
    const Case cases[] = {
        {"switch to loader 1", "The old firmware is intact", "switch to loader 1", ""},
        {"download application", "The firmware was being replaced", "download application",
         "P2.07"},
        {"establish", "The new firmware is written", "establish", "P2.07"},
    };
    for (const Case& c : cases) {
        const RunSummary s =
            SummariseRun(download(c.failing), -1, inventory("P2.04"), inventory("P2.04"), {});
        EXPECT_TRUE(s.failed) << c.failing.toStdString();
        EXPECT_EQ(s.cause, "Port Timeout! (result -1)");
        EXPECT_TRUE(s.deviceState.startsWith(c.state)) << s.deviceState.toStdString();
        EXPECT_FALSE(s.nextStep.isEmpty());
        ASSERT_EQ(s.slotRuns.size(), 2u);
        for (const auto& run : s.slotRuns) {
            EXPECT_EQ(run.phase, c.phase);
            EXPECT_EQ(run.result, "failed");
            EXPECT_EQ(run.target, c.target);
            EXPECT_EQ(run.before, "P2.04");
        }
        EXPECT_TRUE(s.text().contains("What to do next: " + s.nextStep));
    }

    // A successful run lists each slot with its new version.
    const RunSummary s =
        SummariseRun(download({}), 0, inventory("P2.04"), inventory("P2.07"), "P2.07");
    EXPECT_FALSE(s.failed);
    ASSERT_EQ(s.slotRuns.size(), 2u);
    EXPECT_EQ(s.slotRuns[0].slot, 1);
    EXPECT_EQ(s.slotRuns[1].slot, 2);
    EXPECT_EQ(s.slotRuns[1].after, "P2.07");
    EXPECT_EQ(s.slotRuns[1].result, "done");
    EXPECT_EQ(s.slotRuns[1].phase, "establish");
    EXPECT_TRUE(s.text().contains("Slot 3 RA51: P2.04 -> P2.07, now P2.07, done (establish)"));

    // A NodePod run names the node it failed on; the advice fits a closed NodePod window.
    RunReport nodePod("nodepod download");
    nodePod.beginPhase("node 2").details << "/fw/NP21N4.ld2" << "serial number 1002";
    nodePod.beginPhase("node 4").details << "/fw/NP21N4.ld2" << "serial number 1004";
    nodePod.failPhase();
    const RunSummary n = SummariseRun(nodePod, -5, {}, {}, {});
    EXPECT_EQ(n.deviceState, "The NodePod may be left in its loader.");
    EXPECT_EQ(n.cause, "The operation ended with an error (result -5).");
    EXPECT_EQ(n.failingNode, "ID 4, serial number 1004");
    EXPECT_TRUE(n.text().contains("NODEPOD: ID 4, serial number 1004\n"));
    EXPECT_FALSE(n.nextStep.contains("Leave the NodePod window")) << n.nextStep.toStdString();

    // The library's own words pick the row: the processor never left its application.
    RunReport kx("processor download");
    kx.addMessage(ReportMessage::Kind::Warning, "KX is not in BootLoader1 mode!");
    kx.setResult(-5);
    const RunSummary k = SummariseRun(kx, -5, {}, {}, {});
    EXPECT_TRUE(k.deviceState.startsWith("The processor did not start its boot loader"));
    EXPECT_FALSE(k.nextStep.contains("off and on"));
    EXPECT_EQ(kx.toJson()["next_step"].toString(), k.nextStep);
}

TEST(Diagnostics, OneFileWithEveryPartAndNothingHalfWritten) {
    QTemporaryDir directory;
    const QString log = directory.filePath("comlog.log");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("TX PRC1,2,P\r\nRX 0\r\n");
    file.close();
    forms::Diagnostics content;
    content.libraryLocation = "/usr/lib/libquorlink.so.1";
    content.summary = "Operation: download\n";
    content.report = {{"operation", "download"}};
    content.inventory = "Slot 2: RA51\n";
    content.files << log << directory.filePath("missing.ini");

    const QString path = directory.filePath("diagnostics.txt");
    QString error;
    ASSERT_TRUE(forms::SaveDiagnostics(path, content, &error)) << error.toStdString();
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(written.readAll());
    for (const QString& part :
         {QString("Quorvel "), QString("Quorlink /usr/lib/libquorlink.so.1"),
          QString("Operation: download"), QString("\"operation\": \"download\""),
          QString("Slot 2: RA51"), "===== " + log + " =====\nTX PRC1,2,P\nRX 0\n",
          QString("missing.ini =====\n(not found)")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();

    EXPECT_FALSE(forms::SaveDiagnostics(directory.filePath("no/such/dir/d.txt"), content, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files).size(), 2) << "no temporary file left";
}

TEST(RemainingTime, MeasuredPerPhaseOnTheProgressBar) {
    struct Step {
        QString status;  // empty: unchanged
        int percent;
        qint64 nowMs;
        QString text;  // the bar's text afterwards
    };
    const Step steps[] = {
        {"Download Firmware...", 0, 0, "Download Firmware...  0%"},
        {{}, 10, 1000, "Download Firmware...  10%"},  // too early to tell
        {{}, 10, 4000, "Download Firmware...  10%, about 36 s left"},
        {{}, 70, 40000, "Download Firmware...  70%, about 18 s left"},
        {"Check Firmware...", 70, 40000, "Check Firmware...  70%"},  // a new phase
        {{}, 5, 41000, "Check Firmware...  5%"},                     // starts over
        {{}, 25, 141000, "Check Firmware...  25%, about 6 min 15 s left"},
        {{}, 100, 142000, "Check Firmware...  100%"},
    };
    quorvel::forms::MainWindow window;
    qint64 now = 0;
    window.setClock([&now] { return now; });
    for (const Step& step : steps) {
        now = step.nowMs;
        if (!step.status.isEmpty()) window.setStatusText(step.status);
        window.setProgress(step.percent);
        EXPECT_EQ(window.progressText(), step.text) << step.nowMs;
    }
}

// The plan's steps over two slots one at a time: the position and the whole run's estimate as
// the run enters them, skipping a step that was not run; the end clears the position.
TEST(RunPlan, PositionAndEstimateFollowTheStepsEntered) {
    testing_support::StrictUi ui;
    {
        quorvel::RunPlan plan(ui);
        plan.add("slots 1, 2", "delete CAN database", 1000);
        for (const QString unit : {"slot 1", "slot 2"}) {
            plan.add(unit, "switch", 2000);
            plan.add(unit, "download", 30000);
            plan.add(unit, "reset", 5000);
        }
        const struct {
            QString step;
            QString text;
            qint64 remainingMs;  // 1 s into the step
        } cases[] = {
            {"switch", "slot 1 (2 of 3) · step 1 of 3 (switch)", 1000 + 35000 + 37000},
            {"reset", "slot 1 (2 of 3) · step 3 of 3 (reset)", 4000 + 37000},
            {"download", "slot 2 (3 of 3) · step 2 of 3 (download)", 29000 + 5000},
            {"unknown", "slot 2 (3 of 3) · step 2 of 3 (download)", 29000 + 5000},
        };
        for (const auto& c : cases) {
            plan.enter(c.step);
            ASSERT_TRUE(ui.positions.back().has_value()) << c.step.toStdString();
            EXPECT_EQ(RunPositionText(*ui.positions.back()), c.text);
            EXPECT_EQ(RunRemainingMs(*ui.positions.back(), 1000), c.remainingMs) << c.text.toStdString();
        }
        EXPECT_EQ(ui.positions.size(), 3u) << "an unknown step tells nothing";
    }
    EXPECT_FALSE(ui.positions.back().has_value());
    EXPECT_EQ(RemainingText(61001), "about 1 min 2 s left");
}

TEST(RemainingTime, ThePauseOfAWaitNoticeDoesNotCount) {
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
