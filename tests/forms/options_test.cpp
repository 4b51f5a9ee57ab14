// Option entries through the menus: the traffic-log switch with an old log, the loader-1 guards,
// the download directory kept only on OK, the port summary after the port dialog.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include "window_fixture.h"

namespace forms_tests {
namespace {

using Options = WindowTest;

TEST_F(Options, TrafficLogSwitchDeletesAnOldLogOnlyOnYes) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(directory.path());
    startProgram();
    trigger("mnuLogFileActive");  // no old log: switched on without a question
    EXPECT_TRUE(state().Connection.trafficLog);
    EXPECT_TRUE(answerer.shownTexts().isEmpty());
    trigger("mnuLogFileActive");
    for (const auto& [answer, oldLogKept] : {std::pair("No", true), std::pair("Yes", false)}) {
        QFile old("Comlog.log");
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old traffic\n");
        old.close();
        const qsizetype shown = answerer.shownTexts().size();
        answerer.expectMessageButton(answer);
        trigger("mnuLogFileActive");
        EXPECT_EQ(answerer.shownTexts().mid(shown),
                  QStringList{"There is an existing logfile. Delete it?"});
        EXPECT_EQ(QFile::exists("Comlog.log"), oldLogKept);
        EXPECT_TRUE(window().entry("mnuLogFileActive")->isChecked());
        EXPECT_TRUE(state().TrafficLogOn);
        EXPECT_TRUE(state().Connection.trafficLog);

        trigger("mnuLogFileActive");  // off again, no question
        EXPECT_FALSE(window().entry("mnuLogFileActive")->isChecked());
        EXPECT_FALSE(state().Connection.trafficLog);
        EXPECT_EQ(answerer.shownTexts().size(), shown + 1);
    }
    QDir::setCurrent(previous);
}

TEST_F(Options, Loader1GuardsAndDialogsThatStoreOnlyOnOk) {
    startProgram("S");
    answerer.expectMessageButton("No");
    trigger("mnuIncludeLoader1");
    EXPECT_FALSE(window().entry("mnuIncludeLoader1")->isChecked());
    EXPECT_FALSE(state().IncludeLoader1);
    answerer.expectMessageButton("Yes");
    trigger("mnuIncludeLoader1");
    EXPECT_TRUE(window().entry("mnuIncludeLoader1")->isChecked());
    EXPECT_TRUE(state().IncludeLoader1);

    answerer.expectMessageButton("OK");
    trigger("mnuOnlyLoader1");
    EXPECT_TRUE(state().OnlyLoader1);
    EXPECT_EQ(answerer.shownTexts().last(),
              "You have selected Loader1 download, please be careful!");
    trigger("mnuScanForLoader1");
    EXPECT_TRUE(state().ScanForLoader1);
    EXPECT_NE(protocol().indexOf("-->Scan for loader1 clicked.<--"), -1);
    EXPECT_TRUE(answerer.allAnswered());

    // The download directory is kept only on OK; the port dialog's OK changes the connection and
    // the summary.
    const QString before = state().DownloadDirectory;
    answerer.expect([](QDialog& dialog) { dialog.reject(); });
    trigger("mnuSetDirDownload");
    EXPECT_EQ(state().DownloadDirectory, before);
    EXPECT_EQ(stored("Properties", "DownloadPath"), "");
    answerer.expect([](QDialog& dialog) { dialog.accept(); });
    trigger("mnuSetDirDownload");
    EXPECT_EQ(stored("Properties", "DownloadPath"), before);

    answerer.expect([](QDialog& dialog) {
        auto* address = dialog.findChild<QLineEdit*>("cboIpAdr");
        address->setText("192.168.7.9");
        dialog.findChild<QPushButton*>("cmdPropsOk")->click();
    });
    trigger("mnuOptionsConfig");
    EXPECT_EQ(stored("Properties", "IpAdr"), "192.168.7.9");
    EXPECT_EQ(state().Port.ipAdr, "192.168.7.9");
    EXPECT_TRUE(window().settingsText().contains("192.168.7.9"));
    EXPECT_TRUE(answerer.allAnswered());
}

}  // namespace
}  // namespace forms_tests
