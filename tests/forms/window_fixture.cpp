#include "window_fixture.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTest>
#include <fstream>

#include "log_entries.h"

namespace forms_tests {

nlohmann::json DefaultRack() {
    std::ifstream in(DEFAULT_RACK_FILE);
    return nlohmann::json::parse(in);
}

WindowTest::WindowTest() {
    for (const char* name : {"ws.cfg", "NodePod.cfg", "kx.cfg"}) {
        QFile::copy(QString(CONFIG_DIRECTORY) + "/" + name, programDirectory + "/" + name);
    }
    store("Properties", "CommPort", "Ethernet TCP/IP");
}

WindowTest::~WindowTest() {
    if (program) program->window().close();
}

void WindowTest::startProgram(const QString& startMode) {
    quorvel::forms::WindowProgramOptions options;
    options.environment = environment();
    options.startMode = startMode;
    options.comMappingFile = directory.filePath("ports.conf");
    program = std::make_unique<quorvel::forms::WindowProgram>(options);
    ASSERT_TRUE(program->start());
    program->window().show();
}

void WindowTest::startAndScan(const nlohmann::json& rack, const QString& startMode) {
    useRack(rack);
    startProgram(startMode);
    trigger("mnuOptionsScan");
    ASSERT_EQ(window().statusText(), "Ready");
}

void WindowTest::trigger(const QString& entry) {
    QAction* action = window().entry(entry);
    ASSERT_NE(action, nullptr) << entry.toStdString();
    action->trigger();
}

QString WindowTest::firmwareFolder() {
    const QString firmware = directory.filePath("firmware");
    QDir().mkpath(firmware);
    store("Properties", "DownloadPath", firmware + "/");
    return firmware;
}

bool PaintedTexts::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &label_ && event->type() == QEvent::Paint) texts << label_.text();
    return false;
}

void WindowTest::triggerButton(const QString& key) { window().toolbarButton(key)->trigger(); }

void WindowTest::click(DeviceRef device) {
    QCheckBox* checkBox = box(device);
    QTest::mouseClick(checkBox, Qt::LeftButton, {}, QPoint(6, checkBox->height() / 2));
}

bool WindowTest::entryEnabled(const QString& entry) { return window().entry(entry)->isEnabled(); }

bool WindowTest::buttonEnabled(const QString& key) {
    return window().toolbarButton(key)->isEnabled();
}

QStringList WindowTest::protocol() {
    return testing_support::LogEntryTexts(logText() + program->shell().protocolLog().pending());
}

}  // namespace forms_tests
