// quorvel-cli's acting commands as their own process against the rack it simulates: plans,
// refusals of bad input before anything is sent, exit codes and JSON.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <nlohmann/json.hpp>

#include "tools/fwgen/amplifier_set.h"

namespace {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliDrivers : public ::testing::Test {
  protected:
    CliDrivers() {
        QDir(home.path()).mkpath("Download");
        fwgen::writeAmplifierSet(home.filePath("Download").toStdString());
        QSettings settings(home.filePath("config/Quorvel/Quorvel.ini"), QSettings::IniFormat);
        settings.setValue("Properties/DownloadPath", home.filePath("Download") + "/");
        settings.setValue("Properties/LogFileName", home.filePath("Quorlink.log"));
    }
    CliResult run(QStringList arguments) {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", home.path() + "/config");
        environment.insert("XDG_RUNTIME_DIR", home.path());
        environment.insert("TMPDIR", home.path());
        cli.setProcessEnvironment(environment);
        cli.start(QUORVEL_CLI, QStringList{"--simulate", "-q"} + arguments);
        if (!cli.waitForFinished(60000)) cli.kill();
        cli.waitForFinished();
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
                cli.readAllStandardOutput().toStdString(),
                cli.readAllStandardError().toStdString()};
    }
    QTemporaryDir home;
};

TEST_F(CliDrivers, BadInputIsRefusedBeforeAnythingIsSent) {
    struct Case {
        QStringList arguments;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"download", "--slots", "17"}, "slot \"17\" is not a slot number 1-16"},
        {{"download", "--slots", ","}, "no slot given"},
        {{"download", "--slots", "6", "--firmware", "ra77p311.s00"},
         "firmware ra77p311.s00 is not offered for slot 6; offered: ra901bp649.s00"},
        {{"upload", "flash", "--slot", "2", "--output", "/nonexistent/x.upl"},
         "--output /nonexistent/x.upl cannot be written"},
        {{"download", "--slots", "2", "--backup", "/nonexistent"}, "--backup /nonexistent is not"},
    };
    for (const Case& c : cases) {
        const CliResult result = run(c.arguments);
        EXPECT_EQ(result.exitCode, 1) << c.arguments.join(' ').toStdString();
        EXPECT_NE(result.err.find(c.error), std::string::npos)
            << c.arguments.join(' ').toStdString() << "\n"
            << result.err;
    }
}

TEST_F(CliDrivers, UpdateAllDryRunIsTheToDoListAsData) {
    const CliResult result = run({"update-all", "--dry-run", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["operation"], "update all");
    EXPECT_TRUE(json["dryRun"]);
    std::vector<std::string> planned;
    for (const auto& phase : json["phases"])
        if (phase["outcome"] == "planned") planned.push_back(phase["name"]);
    EXPECT_EQ(planned, (std::vector<std::string>{"group ra14", "group ra77", "group ra901b"}));
    EXPECT_NE(json["reportText"].get<std::string>().find(
                  "Components selected for download: 3 in 3 loop(s)."),
              std::string::npos);
}

}  // namespace
