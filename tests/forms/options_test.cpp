// Option entries through the menus: the traffic-log switch with an old log, the loader-1 guards,
// the download directory kept only on OK, the port summary after the port dialog.
#include <QDialogButtonBox>
#include <QDir>
#include <QLayout>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include "operator/forms/bootstrap_input_dialog.h"
#include "operator/forms/choice_list_dialog.h"
#include "operator/forms/directory_dialog.h"
#include "operator/forms/information_dialog.h"
#include "operator/forms/port_dialog.h"
#include "operator/forms/run_view_dialog.h"
#include "operator/forms/serial_details_dialog.h"
#include "operator/forms/show_box.h"
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

namespace forms_tests {
namespace {

// The access keys of one group of captions (a menu bar, a menu, a dialog's buttons): each letter
// opens one thing only.
QStringList repeatedAccessKeys(const QStringList& captions) {
    QStringList seen, repeated;
    for (const QString& caption : captions) {
        const qsizetype at = caption.indexOf(QRegularExpression("&[^&]"));
        if (at < 0) continue;
        const QString key = caption.mid(at + 1, 1).toLower();
        (seen.contains(key) ? repeated : seen) << key;
    }
    return repeated;
}

// The layout that holds `widget` itself, searched from `layout` down.
const QLayout* holderOf(const QLayout* layout, const QWidget* widget) {
    if (!layout || layout->indexOf(widget) >= 0) return layout;
    for (int i = 0; i < layout->count(); ++i)
        if (const QLayout* found = holderOf(layout->itemAt(i)->layout(), widget)) return found;
    return nullptr;
}

// A button of its own field ("Change..." beside a path) sits in the field's row.
bool besideAField(const QWidget* button) {
    const QLayout* row = holderOf(button->parentWidget()->layout(), button);
    for (int i = 0; row && i < row->count(); ++i)
        if (qobject_cast<QLineEdit*>(row->itemAt(i)->widget())) return true;
    return false;
}

// A window stored larger than the screen opens within its available area; every menu and every
// dialog's buttons keep their access keys apart.
TEST_F(Options, TheWindowFitsTheScreenAndAccessKeysAreUnique) {
    store("App", "Width", "5000");
    store("App", "Height", "4000");
    startProgram();
    const QRect available = window().screen()->availableGeometry();
    EXPECT_LE(window().frameGeometry().width(), available.width());
    EXPECT_LE(window().frameGeometry().height(), available.height());

    QStringList menuTitles;
    for (const QAction* title : window().menuBar()->actions()) {
        const QMenu* menu = title->menu();
        menuTitles << menu->title();
        QStringList entries;
        for (const QAction* action : menu->actions()) entries << action->text();
        EXPECT_EQ(repeatedAccessKeys(entries), QStringList()) << menu->title().toStdString();
    }
    EXPECT_EQ(menuTitles.size(), 5);
    EXPECT_EQ(repeatedAccessKeys(menuTitles), QStringList());
    // Every dialog: its buttons sit in a button box with a role (the platform orders them) unless
    // they belong to a field, and
    // the access keys of its buttons and labels are unique.
    using namespace quorvel::forms;
    quorvel::ChoiceList list;
    list.title = "Select Firmware Version";
    list.columns = QStringList{"Firmware Version"};
    list.rows.push_back(QStringList{"RA51P207.S00"});
    list.additionalInfo = "-";
    ShowBoxContent shown;
    shown.text = "report";
    shown.okCaption = "&Start";
    shown.cancelCaption = "&Cancel";
    RunSummary failed;
    failed.failed = true;
    const std::vector<std::unique_ptr<QDialog>> dialogs = [&] {
        std::vector<std::unique_ptr<QDialog>> made;
        made.push_back(std::make_unique<PortDialog>(state().Port, program->shell().settings(),
                                                    state().StartMode,
                                                    directory.filePath("ports.conf"), &window()));
        made.push_back(std::make_unique<SerialDetailsDialog>(
            state().Port, program->shell().settings(), &window()));
        made.push_back(std::make_unique<DirectoryDialog>("/fw/", "/fw/", &window()));
        made.push_back(std::make_unique<ChoiceListDialog>(list, ChoiceListBehaviour{}, &window()));
        made.push_back(std::make_unique<InformationDialog>(
            std::vector<quorvel::InformationRow>{{"Type", "RA51"}}, &window()));
        made.push_back(std::make_unique<ShowBox>(shown, &window()));
        made.push_back(std::make_unique<RunViewDialog>(
            failed, [] { return Diagnostics{}; }, &window()));
        made.push_back(std::make_unique<BootstrapInputDialog>([] { return true; }, &window()));
        return made;
    }();
    for (const auto& dialog : dialogs) {
        const std::string name = dialog->metaObject()->className();
        QStringList controls;
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
            controls << button->text();
            auto* push = qobject_cast<QPushButton*>(button);
            auto* box = push ? qobject_cast<QDialogButtonBox*>(push->parentWidget()) : nullptr;
            if (push && !besideAField(push)) {
                ASSERT_NE(box, nullptr) << name << ": " << push->text().toStdString();
                EXPECT_NE(box->buttonRole(push), QDialogButtonBox::InvalidRole) << name;
            }
        }
        for (const QLabel* label : dialog->findChildren<QLabel*>()) controls << label->text();
        EXPECT_EQ(repeatedAccessKeys(controls), QStringList()) << name;
    }
}

}  // namespace
}  // namespace forms_tests
