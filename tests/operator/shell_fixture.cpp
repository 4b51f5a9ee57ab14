#include "shell_fixture.h"

#include <QDir>

#include "log_entries.h"
#include "temp_dir.h"

namespace operator_tests {

ShellSandbox::ShellSandbox() {
    const QDir root(directory.path());
    root.mkpath("program");
    programDirectory = root.filePath("program");
    settingsFile = root.filePath("settings/Quorvel.ini");
    lockDirectory = root.filePath("locks");
    logFile = root.filePath("Quorlink.log");
    store("Properties", "LogFileName", logFile);
}

void ShellSandbox::writeProgramFile(const QString& name, const QByteArray& content) {
    testing_support::writeFile(QDir(programDirectory).filePath(name).toStdString(),
                               content.toStdString());
}

void ShellSandbox::writeDefaultConfigFiles() {
    writeProgramFile("ws.cfg",
                     "QTX,V1\r\n"
                     "0,0,\"none\",0,\"unknown\",\"\"\r\n"
                     "12,31,\"RA56\",16384,\"RA56\",\"RA56N\"\r\n"
                     "12,16,\"RA51\",16384,\"RA51\",\"RA51N\"\r\n"
                     "7,32,\"RA77C\",16384,\"RA77C\",\"\"\r\n"
                     "7,12,\"RA77\",16384,\"RA77\",\"\"\r\n"
                     "4,8,\"RA50B\",32768,\"RA50B\",\"\"\r\n");
    writeProgramFile("NodePod.cfg", "QTX,V2\r\n1,\"NP01\",4096,0,8192,65536\r\n");
    writeProgramFile("kx.cfg",
                     "KX43,-,-,KX43\r\nKX33,-,-,KX33\r\nKX13,-,-,KX13\r\nKX63,-,-,KX63\r\n");
}

void ShellSandbox::store(const QString& section, const QString& key, const QString& value) {
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.setValue(section + "/" + key, value);
}

QString ShellSandbox::stored(const QString& section, const QString& key) {
    QSettings settings(settingsFile, QSettings::IniFormat);
    return settings.value(section + "/" + key).toString();
}

quorvel::ShellEnvironment ShellSandbox::environment() const {
    quorvel::ShellEnvironment e;
    e.programDirectory = programDirectory;
    e.settingsFile = settingsFile;
    e.instanceLockDirectory = lockDirectory;
    e.now = [] { return QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)); };
    return e;
}

std::unique_ptr<quorvel::OperatorShell> ShellSandbox::makeShell(ScriptedUi& forUi) const {
    return std::make_unique<quorvel::OperatorShell>(forUi, environment());
}

bool ShellSandbox::start(const QString& commandLine) {
    shell = makeShell(ui);
    return shell->start(commandLine);
}

QString ShellSandbox::logText() const { return testing_support::LogFileText(logFile); }

QStringList ShellSandbox::loggedTexts() const {
    const QString pending = shell ? shell->protocolLog().pending() : QString();
    return testing_support::LogEntryTexts(logText() + pending);
}

}  // namespace operator_tests
