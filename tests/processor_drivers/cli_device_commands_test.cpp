// quorvel-cli as its own process with the rack it simulates: choices that do not fit the rack
// are refused with a clear error before anything is written.
#include <gtest/gtest.h>

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
    struct Case {
        QStringList arguments;
        std::string error;
        int exitCode;
    };
    const std::vector<Case> cases = {
        {{"nodepod", "scan", "--slot", "2"}, "slot 2 holds no RA56", 2},
        {{"kx33", "upload", "--output", home.path() + "/x.upl"},
         "the rack's processor is no KX33",
         1},
    };
    for (const Case& c : cases) {
        const CliRun result = runCli(home, QStringList{"--simulate", RACK_FILE} + c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.error;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    }
}

}  // namespace
