// The operator program's long jobs end to end: ventrix-sim serving a rack over loopback TCP as
// its own process, quorvel-cli as its own process, the real clock. Each wall time is set against
// the protocol floor: the same work (scan, then the job) through the same drivers in this
// process, against the same rack on the virtual clock, which adds up every pause the library
// makes and every modelled board time, and nothing else.
//   update-all, six amplifiers of three types: wall / floor
//   four racks updated at once, each by its own quorvel-cli: slowest wall / one rack alone
//   KX33 full-flash upload (8192 x 512 bytes): wall / floor, and quorvel-cli's peak memory
// The figures are printed; nothing here fails.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "amplifier_slot.h"
#include "linkpad/hooks.h"
#include "operator/drivers/amplifier_commands.h"
#include "operator/drivers/kx33_upload_driver.h"
#include "operator/drivers/menu_commands.h"
#include "operator/shell/operator_shell.h"
#include "rack/core/rack_file.h"
#include "rack/sim/sim_process.h"
#include "tools/fwgen/amplifier_set.h"

namespace {

using testing_support::amplifierSlot;
using Seconds = std::chrono::duration<double>;

// Answers every question with its first choice (Start, OK, yes) and saves where it is told.
class AcceptingUi final : public quorvel::OperatorUi {
  public:
    QString savePath;
    int showMessageBox(const QString&, int style, const QString&) override {
        return (style & 0xF) == quorvel::kYesNo || (style & 0xF) == quorvel::kYesNoCancel
                   ? quorvel::kAnswerYes
                   : quorvel::kAnswerOk;
    }
    std::optional<QString> askInput(const QString&, const QString&, const QString& value) override {
        return value;
    }
    std::optional<int> chooseOne(const QString&, const QStringList&) override { return 0; }
    std::optional<int> chooseFromList(const quorvel::ChoiceList& list) override {
        return list.defaultRow;
    }
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override {
        return savePath;
    }
    bool showReport(const quorvel::ReportView&) override { return true; }
    void setProgress(int) override {}
    void setStatus(const QString&) override {}
    void setPortSummary(const QString&) override {}
    void setInterfaceEnabled(bool) override {}
    void processEvents() override {}
    void showProtocolViewer(const QString&, const QString&, bool) override {}
};

// An installation of the operator program: hardware tables, test firmware, settings.
struct Installation {
    QTemporaryDir root;
    QString program() const { return root.filePath("program"); }
    QString downloads() const { return root.filePath("Download"); }
    QString configHome() const { return root.filePath("config"); }
    QString settingsFile() const { return configHome() + "/Quorvel/Quorvel.ini"; }

    Installation() {
        QDir(root.path()).mkpath("program");
        QDir(root.path()).mkpath("config/Quorvel");
        QDir(root.path()).mkpath("run");
        QFile::setPermissions(root.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const char* name : {"ws.cfg", "kx.cfg", "NodePod.cfg"})
            QFile::copy(QString(CONFIG_DIR) + "/" + name, program() + "/" + name);
        fwgen::writeAmplifierSet(downloads().toStdString());
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue("Properties/DownloadPath", downloads() + "/");
        settings.setValue("Properties/LogFileName", root.filePath("Quorlink.log"));
        settings.setValue("Properties/ResetTimeout3", "4");
    }
};

// The work on the virtual clock against the rack in this process: scan, then `job`.
double floorSeconds(const nlohmann::json& rackDescription, const QString& savePath,
                    const std::function<int(quorvel::DriverContext&)>& job) {
    Installation installation;
    {
        QSettings settings(installation.settingsFile(), QSettings::IniFormat);
        settings.setValue("Properties/CommPort", "Ethernet TCP/IP");
    }
    linkpad::VirtualClock clock;
    linkpad::ScopedClock useClock(clock);
    std::shared_ptr<rack::Rack> rack = rack::buildRack(rackDescription);
    linkpad::ScopedTransportFactory useRack(linkpad::peerFactory(rack));
    AcceptingUi ui;
    ui.savePath = savePath;
    quorvel::ShellEnvironment environment;
    environment.programDirectory = installation.program();
    environment.settingsFile = installation.settingsFile();
    environment.instanceLockDirectory = installation.root.filePath("run");
    quorvel::OperatorShell shell(ui, environment);
    if (!shell.start({})) return -1;
    const auto start = clock.now();
    if (shell.ScanSystem() != quorvel::ScanOutcome::Finished) return -1;
    quorvel::DriverContext context(shell);
    const int result = job(context);
    const double seconds = Seconds(clock.now() - start).count();
    shell.shutdown();
    return result == 0 ? seconds : -1;
}

struct ChildRun {
    int exitCode = -1;
    double wallSeconds = 0;
    long peakKiB = 0;
};

// quorvel-cli against `address` with the installation's settings, started at once.
pid_t startCli(const Installation& installation, const std::string& address,
               const std::vector<std::string>& job) {
    std::vector<std::string> arguments = {
        QUORVEL_CLI, "--config-dir", installation.program().toStdString(), "--port", "tcp",
        "--address", address};
    arguments.insert(arguments.end(), job.begin(), job.end());
    const std::string config = "XDG_CONFIG_HOME=" + installation.configHome().toStdString();
    const std::string runtime =
        "XDG_RUNTIME_DIR=" + installation.root.filePath("run").toStdString();
    std::fflush(nullptr);  // the child must not write this process's buffered output again
    const pid_t pid = fork();
    if (pid != 0) return pid;
    std::vector<char*> argv;
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::putenv(const_cast<char*>(config.c_str()));
    ::putenv(const_cast<char*>(runtime.c_str()));
    const int devNull = ::open("/dev/null", O_WRONLY);
    if (devNull < 0 || ::dup2(devNull, 1) < 0 || ::dup2(devNull, 2) < 0) _exit(127);
    ::execv(argv[0], argv.data());
    _exit(127);
}

ChildRun waitCli(pid_t pid, std::chrono::steady_clock::time_point started) {
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            Seconds(std::chrono::steady_clock::now() - started).count(), usage.ru_maxrss};
}

// Six outdated amplifiers of three types behind a KX43.
nlohmann::json sixAmplifiers() {
    return {
        {"timing", {{"resetMs", 1500}}},
        {"processor", {{"kind", "KX43"}, {"identity", "QTX,KX43,0,P2.10"}, {"version", "P2.10"}}},
        {"slots",
         {amplifierSlot(0, 2, "P2.04"), amplifierSlot(1, 2, "P2.04"), amplifierSlot(3, 3, "P3.10"),
          amplifierSlot(4, 3, "P3.10"), amplifierSlot(6, 4, "P6.40"),
          amplifierSlot(7, 4, "P6.40")}}};
}

std::string writeRack(const Installation& installation, const nlohmann::json& description) {
    const std::string path = installation.root.filePath("rack.json").toStdString();
    std::ofstream(path) << description.dump();
    return path;
}

// `racks` racks, each served by its own ventrix-sim and updated by its own quorvel-cli, all at
// once; the runs in start order.
std::vector<ChildRun> updateAtOnce(int racks) {
    std::vector<std::unique_ptr<Installation>> installations;
    std::vector<std::unique_ptr<rack::sim::SimProcess>> sims;
    for (int i = 0; i < racks; ++i) {
        installations.push_back(std::make_unique<Installation>());
        sims.push_back(std::make_unique<rack::sim::SimProcess>(
            VENTRIX_SIM_PROGRAM,
            std::vector<std::string>{"--rack", writeRack(*installations.back(), sixAmplifiers()),
                                     "--tcp", "127.0.0.1:0", "-q"}));
    }
    const auto started = std::chrono::steady_clock::now();
    std::vector<pid_t> pids;
    for (int i = 0; i < racks; ++i)
        pids.push_back(startCli(*installations[i], sims[i]->where(), {"--yes", "update-all"}));
    std::vector<ChildRun> runs;
    for (const pid_t pid : pids) runs.push_back(waitCli(pid, started));
    return runs;
}

void printRatio(const char* name, double wall, double floor, const char* goal) {
    if (wall <= 0 || floor <= 0) {
        std::printf("%-46s failed\n", name);
        return;
    }
    std::printf("%-46s wall %7.2f s  floor %7.2f s  ratio %.3f  (goal %s)\n", name, wall, floor,
                wall / floor, goal);
}

void updateAll() {
    const double floor = floorSeconds(sixAmplifiers(), {}, [](quorvel::DriverContext& context) {
        quorvel::CommandDispatcher dispatcher(context);
        quorvel::RegisterAmplifierCommands(dispatcher);
        return dispatcher.dispatch(quorvel::menu::kUpdateAll);
    });
    const std::vector<ChildRun> alone = updateAtOnce(1);
    const ChildRun& one = alone.front();
    printRatio("update-all, 6 amplifiers of 3 types", one.exitCode == 0 ? one.wallSeconds : -1,
               floor, "<= 1.03");

    const std::vector<ChildRun> four = updateAtOnce(4);
    double slowest = 0;
    bool allDone = true;
    for (const ChildRun& run : four) {
        slowest = std::max(slowest, run.wallSeconds);
        allDone = allDone && run.exitCode == 0;
    }
    if (!allDone || one.exitCode != 0) {
        std::printf("%-46s failed\n", "four racks at once");
        return;
    }
    std::printf("%-46s slowest %7.2f s  alone %7.2f s  ratio %.3f  (goal <= 1.05)\n",
                "four racks at once / one rack alone", slowest, one.wallSeconds,
                slowest / one.wallSeconds);
}

void kx33Upload() {
    const nlohmann::json kx33 = {{"processor", {{"kind", "KX33"}, {"version", "P1.10"}}}};
    Installation installation;
    const QString floorFile = installation.root.filePath("floor.upl");
    const double floor = floorSeconds(kx33, floorFile, [](quorvel::DriverContext& context) {
        return quorvel::RunKx33UploadDriver(context);
    });
    rack::sim::SimProcess sim(VENTRIX_SIM_PROGRAM, {"--rack", writeRack(installation, kx33),
                                                    "--tcp", "127.0.0.1:0", "-q"});
    const std::string output = installation.root.filePath("kx33.upl").toStdString();
    const auto started = std::chrono::steady_clock::now();
    const ChildRun run = waitCli(
        startCli(installation, sim.where(), {"kx33", "upload", "--output", output}), started);
    const bool complete =
        run.exitCode == 0 && QFileInfo(QString::fromStdString(output)).size() == qint64{8192} * 512;
    printRatio("KX33 upload, 8192 x 512 bytes", complete ? run.wallSeconds : -1, floor, "<= 1.03");
    std::printf("%-46s %7.1f MiB  (goal < 32 MiB)\n", "quorvel-cli peak RSS during the upload",
                static_cast<double>(run.peakKiB) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    updateAll();
    kx33Upload();
    return 0;
}
