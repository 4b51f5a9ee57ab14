// quorvel-cli as its own process with the rack it simulates: choices that do not fit the rack
// are refused with a clear error before anything is written; a device that is not there ends
// with exit code 3.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <nlohmann/json.hpp>

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliRun runCli(const QTemporaryDir& home, const QStringList& arguments) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", home.path() + "/config");
    environment.insert("XDG_RUNTIME_DIR", home.path());
    environment.insert("TMPDIR", home.path());
    cli.setProcessEnvironment(environment);
    cli.start(QUORVEL_CLI, arguments);
    if (!cli.waitForFinished(60000)) cli.kill();
    cli.waitForFinished();
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
            cli.readAllStandardOutput().toStdString(), cli.readAllStandardError().toStdString()};
}

TEST(CliDeviceCommands, RequestsThatDoNotFitTheRackAreRefused) {
    QTemporaryDir home;
    // A small rack (quick to scan) whose RA56 keeps its NodePods out of reach: no node answers.
    const QString unreachable = home.filePath("unreachable.json");
    QFile rack(unreachable);
    ASSERT_TRUE(rack.open(QIODevice::WriteOnly));
    rack.write(nlohmann::json{{"processor", {{"kind", "KX43"}}},
                              {"slots",
                               {{{"slot", 0},
                                 {"kind", "RA56"},
                                 {"amtNumber", 56},
                                 {"stageMs", 1},
                                 {"refuseDownloadMode", true}}}}}
                   .dump()
                   .c_str());
    rack.close();
    struct Case {
        QStringList arguments;
        std::string error;
        int exitCode;
    };
    const std::vector<Case> cases = {
        {{"--simulate", unreachable, "nodepod", "scan", "--slot", "2"}, "slot 2 holds no RA56", 3},
        {{"--simulate", unreachable, "nodepod", "scan", "--slot", "1"},
         "No NODEPOD device found!",
         3},
        {{"--simulate", unreachable, "kx33", "upload", "--output", home.path() + "/x.upl"},
         "the rack's processor is no KX33",
         1},
    };
    for (const Case& c : cases) {
        const CliRun result = runCli(home, c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.error;
        EXPECT_NE((result.err + result.out).find(c.error), std::string::npos) << result.err;
    }
}

}  // namespace
