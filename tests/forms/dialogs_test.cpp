// The dialogs on their own: message box codes, the port dialog's keys and fields, the viewer,
// the download directory.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTreeWidget>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <tuple>

#include "dialog_answerer.h"
#include "operator/forms/information_dialog.h"
#include "operator/forms/directory_dialog.h"
#include "operator/forms/message_box.h"
#include "operator/forms/port_dialog.h"
#include "operator/forms/show_box.h"
#include "operator/shell/operator_ui.h"

namespace forms_tests {
namespace {

using namespace quorvel;
using namespace quorvel::forms;

struct MessageCase {
    int style;
    QString pressed;  // button text; empty: closed with Escape
    int answer;
    QMessageBox::Icon icon;
};

class MessageBoxCodes : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageBoxCodes, ButtonsIconAndAnswerFollowTheStyle) {
    const MessageCase c = GetParam();
    EXPECT_EQ(IconForStyle(c.style), c.icon);
    DialogAnswerer answerer;
    QString shownText;
    answerer.expect([&](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        shownText = box.text();
        if (c.pressed.isEmpty()) {
            QTest::keyClick(&box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* button : box.buttons()) {
            if (button->text().remove('&') == c.pressed) button->click();
        }
    });
    EXPECT_EQ(ShowMessageBox(nullptr, "first\rsecond", c.style, "Title"), c.answer);
    EXPECT_EQ(shownText, "first\nsecond");
    EXPECT_TRUE(answerer.allAnswered());
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MessageBoxCodes,
    ::testing::Values(
        MessageCase{kOkOnly, "OK", kAnswerOk, QMessageBox::NoIcon},
        MessageCase{kOkCancel | kIconQuestion, "Cancel", kAnswerCancel, QMessageBox::Question},
        MessageCase{kAbortRetryIgnore | kIconStop, "Retry", kAnswerRetry, QMessageBox::Critical},
        MessageCase{kYesNoCancel | kIconInformation, "", kAnswerCancel, QMessageBox::Information},
        MessageCase{kYesNo | kIconExclamation, "No", kAnswerNo, QMessageBox::Warning},
        MessageCase{kYesNo | kIconExclamation, "", kAnswerNo, QMessageBox::Warning},
        MessageCase{kRetryCancel, "Retry", kAnswerRetry, QMessageBox::NoIcon}));

TEST(MessageBoxDefaults, TheStyleChoosesTheDefaultButton) {
    EXPECT_EQ(DefaultButtonForStyle(kYesNo), QMessageBox::Yes);
    EXPECT_EQ(DefaultButtonForStyle(kYesNo | 0x100), QMessageBox::No);
    EXPECT_EQ(DefaultButtonForStyle(kYesNoCancel | 0x200), QMessageBox::Cancel);
    EXPECT_EQ(DefaultButtonForStyle(kOkOnly | 0x200), QMessageBox::Ok);  // no third button
}

class PortDialogTest : public ::testing::Test {
  protected:
    QStringList storedKeys() {
        store.sync();
        return QSettings(file, QSettings::IniFormat).allKeys();
    }
    PortDialog& open(const QString& startMode = {}) {
        dialog = std::make_unique<PortDialog>(port, store, startMode, dir.filePath("ports.conf"));
        return *dialog;
    }
    QPushButton* button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    template <typename T>
    T* field(const char* name) {
        return dialog->findChild<T*>(name);
    }

    QTemporaryDir dir;
    QString file = dir.filePath("Quorvel.ini");
    SettingsStore store{file};
    PortSettings port;
    std::unique_ptr<PortDialog> dialog;
};

TEST_F(PortDialogTest, OkStoresExactlyItsKeysCancelNothingAndListsFollowTheStore) {
    open();
    button("cmdPropsCancel")->click();
    EXPECT_TRUE(storedKeys().isEmpty());

    open();
    field<QComboBox>("cboPort")->setCurrentIndex(4);
    emit field<QComboBox>("cboPort")->activated(4);
    EXPECT_FALSE(field<QLineEdit>("cboIpAdr")->isHidden());
    EXPECT_TRUE(field<QComboBox>("cboBaud")->isHidden());
    field<QLineEdit>("cboIpAdr")->clear();
    QTest::keyClicks(field<QLineEdit>("cboIpAdr"), "10.0.0.7:5025");
    field<QComboBox>("cboReset")->setCurrentIndex(4);
    button("cmdPropsOk")->click();

    QStringList keys = storedKeys();
    QStringList expected = {
        "App/IpCnt",        "Properties/Baudrate", "Properties/CommPort",      "Properties/GpibAdr",
        "Properties/IpAdr", "Properties/Rs485Adr", "Properties/ResetTimeout3", "Properties/USBAdr"};
    keys.sort();
    expected.sort();
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(store.value("Properties", "CommPort", {}), "Ethernet TCP/IP");
    EXPECT_EQ(store.value("Properties", "IpAdr", {}), "10.0.0.7:5025");
    EXPECT_EQ(store.value("Properties", "ResetTimeout3", {}), "45");
    EXPECT_EQ(store.value("App", "IpCnt", {}), "0");
    EXPECT_EQ(port.commPort, "Ethernet TCP/IP");
    EXPECT_EQ(port.resetTimeout3, "45");

    // The lists follow the start mode and the stored values.
    EXPECT_EQ(open().findChild<QComboBox*>("cboBaud")->count(), 3);
    EXPECT_EQ(open("S").findChild<QComboBox*>("cboBaud")->itemText(3), "57600");
    port.commPort = "GPIB (IEEE488)";
    port.gpibAdr = "7";
    port.baudrate = "4800";
    open();
    EXPECT_EQ(field<QComboBox>("cboPort")->currentIndex(), -1);
    EXPECT_EQ(field<QComboBox>("cboBaud")->currentIndex(), -1);
    EXPECT_EQ(field<QComboBox>("cboGpibAdr")->currentText(), "7");
    EXPECT_FALSE(field<QComboBox>("cboGpibAdr")->isHidden());
    button("cmdPropsOk")->click();
    EXPECT_EQ(store.value("Properties", "CommPort", {}), "GPIB (IEEE488)");
    EXPECT_EQ(store.value("Properties", "Baudrate", {}), "4800");
}

TEST(PortFieldsTable, EachPortShowsItsOwnFields) {
    const auto shown = [](const PortFields& f) {
        return std::array{f.baudrate,  f.rs485Address, f.gpibAddress,
                          f.ipAddress, f.usbAddress,   f.serialDevice};
    };
    const std::tuple<QString, QString, PortFields> cases[] = {
        {"COM1", "", {true, false, false, false, false, true}},
        {"COM2 - RS485", "", {true, true, false, false, false, true}},
        {"LPT1", "", {}},
        {"Ethernet TCP/IP", "", {false, false, false, true, false, false}},
        {"USB", "", {false, false, false, false, true, false}},
        {"USB", "P", {}},
        {"GPIB (IEEE488)", "", {false, false, true, false, false, false}},
    };
    for (const auto& [port, startMode, fields] : cases)
        EXPECT_EQ(shown(FieldsForPort(port, startMode)), shown(fields)) << port.toStdString();
}

TEST(Viewer, LineEndsButtonsAndSizeUpToTheScreen) {
    ShowBox box({"one\ntwo\r\nthree\rfour\n\nsix", "Start the update?", "To Do", "Start", "", {}});
    EXPECT_EQ(box.shownText(), "one\ntwo\nthree\nfour\n\nsix");
    EXPECT_EQ(box.windowTitle(), "To Do");
    const auto buttons = box.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->text(), "Start");
    EXPECT_TRUE(buttons[1]->isHidden());
    EXPECT_EQ(box.findChild<QLabel*>("labOpt")->text(), "Start the update?");

    DialogAnswerer answerer;
    answerer.expect([](QDialog& dialog) { dialog.findChildren<QPushButton*>()[1]->click(); });
    EXPECT_FALSE(MyShowBox(nullptr, {"text", {}, {}, "Start", "Stop", {}}));
    answerer.expect([](QDialog& dialog) { dialog.findChildren<QPushButton*>()[0]->click(); });
    EXPECT_TRUE(MyShowBox(nullptr, {"text", {}, {}, "Start", "Stop", {}}));

    // Long texts grow the box only up to the screen.
    ShowBox small({"short", {}, {}, {}, {}, {}});
    ShowBox large({QString("line\n").repeated(2000), {}, {}, {}, {}, {}});
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    EXPECT_GT(large.sizeHint().height(), small.sizeHint().height());
    EXPECT_LE(large.sizeHint().height(), screen.height());
    // A log opens at its newest line, a report at its first.
    ShowBox log({QString("line\n").repeated(2000) + "newest", {}, {}, {}, {}, {}, true});
    EXPECT_TRUE(log.findChild<QPlainTextEdit*>("txtProt")->textCursor().atEnd());
    EXPECT_TRUE(large.findChild<QPlainTextEdit*>("txtProt")->textCursor().atStart());
}

TEST(InformationWindow, TheListShowsEveryRowWithoutScrolling) {
    const std::vector<quorvel::InformationRow> rows(14, {"Setting", "Value"});
    quorvel::forms::InformationDialog dialog(rows);
    dialog.show();
    QTreeWidget* list = dialog.list();
    const QRect last = list->visualItemRect(list->topLevelItem(13));
    EXPECT_LE(last.bottom(), list->viewport()->height());
}

TEST(DownloadDirectory, ChosenDirectoryEndsWithOneSlashAndMissingOnesFallBack) {
    QTemporaryDir dir;
    QString answer;
    DirectoryDialog dialog("/old/", "/program/Download/", nullptr,
                           [&](QWidget*, const QString&) { return answer; });
    auto* change = dialog.findChild<QPushButton*>("ChangeButton");
    answer = "/";
    change->click();
    EXPECT_EQ(dialog.pendingDirectory(), "/");
    answer = dir.path();
    change->click();
    EXPECT_EQ(dialog.pendingDirectory(), dir.path() + "/");
    answer = "";
    change->click();  // the chooser was cancelled
    EXPECT_EQ(dialog.pendingDirectory(), dir.path() + "/");

    DialogAnswerer answerer;
    answerer.expectMessageButton("OK");
    answer = dir.filePath("gone");
    change->click();
    EXPECT_EQ(dialog.pendingDirectory(), "/program/Download/");
    EXPECT_EQ(answerer.shownTexts(),
              QStringList{"Drive not available. Changed to default directory!"});
}

}  // namespace
}  // namespace forms_tests
