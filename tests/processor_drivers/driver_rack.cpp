#include "driver_rack.h"

#include <QDir>
#include <QSettings>
#include <algorithm>

#include "log_entries.h"
#include "temp_dir.h"

namespace driver_tests {
namespace {

void writeFile(const QString& path, const char* content) {
    testing_support::writeFile(path.toStdString(), content);
}

// NodePod types with the addresses the simulated heads' firmware is linked for.
constexpr const char* kNodePodTable =
    "QTX,V2\r\n21,\"NP21\",786688,1024000,1024,65536\r\n22,\"NP22\",786688,1024000,1024,65536\r\n";

}  // namespace

DriverSandbox::DriverSandbox() {
    const QDir root(directory.path());
    root.mkpath("program");
    root.mkpath("downloads");
    const QString program = root.filePath("program");
    writeFile(program + "/ws.cfg",
              "QTX,V1\r\n0,0,\"none\",0,\"unknown\",\"\"\r\n"
              "56,16,\"RA56\",16384,\"RA56\",\"\"\r\n");
    writeFile(program + "/NodePod.cfg", kNodePodTable);
    writeFile(program + "/kx.cfg",
              "\"KX43\",\"-\",\"A99\",\"KX43\"\r\n\"KX43\",\"B00\",\"-\",\"KX43B\"\r\n"
              "\"KX43B\",\"-\",\"-\",\"KX43B\"\r\n\"KX33\",\"-\",\"-\",\"KX33\"\r\n"
              "\"KX63\",\"-\",\"-\",\"KX63\"\r\n\"KX13\",\"-\",\"-\",\"KX13\"\r\n");
    settingsFile_ = root.filePath("settings/Quorvel.ini");
    logFile_ = root.filePath("Quorlink.log");
    store("Properties", "LogFileName", logFile_);
    store("Properties", "DownloadPath", root.filePath("downloads"));
    store("Properties", "CommPort", "Ethernet TCP/IP");
    store("Properties", "ResetTimeout3", "2");
}

DriverSandbox::~DriverSandbox() {
    context.reset();
    shell.reset();
}

void DriverSandbox::store(const QString& section, const QString& key, const QString& value) {
    QSettings settings(settingsFile_, QSettings::IniFormat);
    settings.setValue(section + "/" + key, value);
}

void DriverSandbox::startShell(const QString& startMode) {
    context.reset();
    shell.reset();
    quorvel::ShellEnvironment environment;
    environment.programDirectory = QDir(directory.path()).filePath("program");
    environment.settingsFile = settingsFile_;
    environment.instanceLockDirectory = QDir(directory.path()).filePath("locks");
    shell = std::make_unique<quorvel::OperatorShell>(ui, environment);
    ASSERT_TRUE(shell->start(startMode));
    shell->ScanSystem();
    context = std::make_unique<quorvel::DriverContext>(*shell);
}

QString DriverSandbox::downloads(const QString& name) const {
    const QString folder = QDir(directory.path()).filePath("downloads");
    return name.isEmpty() ? folder : QDir(folder).filePath(name);
}

int DriverRackTest::countReceived(const std::string& prefix) {
    const auto& lines = rack().received();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.starts_with(prefix);
    }));
}

QStringList DriverSandbox::protocol() const {
    const QString pending = shell ? shell->protocolLog().pending() : QString();
    return testing_support::LogEntryTexts(testing_support::LogFileText(logFile_) + pending);
}

}  // namespace driver_tests
