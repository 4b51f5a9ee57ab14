// quorvel-cli as its own process against ventrix-sim as its own process, over TCP and a
// pseudo-terminal, and against the rack it simulates itself.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <nlohmann/json.hpp>

#include "rack/sim/sim_process.h"
#include "tools/fwgen/amplifier_set.h"

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliEndToEnd : public ::testing::Test {
protected:
    CliRun run(const QStringList& arguments, const QStringList& extraEnvironment = {}) {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", home.path() + "/config");
        environment.remove("XDG_RUNTIME_DIR");  // as under a service or a plain ssh login
        environment.insert("TMPDIR", home.path());
        for (const QString& entry : extraEnvironment) {
            environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
        }
        cli.setProcessEnvironment(environment);
        cli.start(QUORVEL_CLI, arguments);
        if (!cli.waitForFinished(60000)) {
            cli.kill();
            cli.waitForFinished();
        }
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
                cli.readAllStandardOutput().toStdString(),
                cli.readAllStandardError().toStdString()};
    }
    static std::string rackFile() { return RACK_FILE; }

    // Checks the default rack's inventory as JSON.
    static void expectDefaultRack(const CliRun& result) {
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const auto json = nlohmann::json::parse(result.out);
        EXPECT_EQ(json["processor"]["type"], "KX43");
        EXPECT_EQ(json["processor"]["softwareVersion"], "P1.41");
        EXPECT_EQ(json["panel"]["type"], "DV43A");
        ASSERT_EQ(json["slots"].size(), 16u);
        EXPECT_EQ(json["slots"][0]["type"], "RA51");
        EXPECT_EQ(json["slots"][0]["softwareVersion"], "P2.06");
        EXPECT_EQ(json["slots"][0]["controllerKind"], 2);
        EXPECT_EQ(json["slots"][1]["typePrefix"], "ra51-F72");
        EXPECT_FALSE(json["slots"][2]["detected"]);
        EXPECT_EQ(json["slots"][8]["type"], "RA56");
        EXPECT_EQ(json["slots"][8]["amtNumber"], 56);
    }

    QTemporaryDir home;
};

TEST_F(CliEndToEnd, ScanJsonOverTcp) {
    rack::sim::SimProcess sim(VENTRIX_SIM, {"--rack", rackFile(), "--tcp", "127.0.0.1:0", "-q"});
    const CliRun result = run({"--port", "tcp", "--address", QString::fromStdString(sim.where()),
                               "-q", "scan", "--json"});
    expectDefaultRack(result);
    EXPECT_EQ(result.err, "");
}

TEST_F(CliEndToEnd, ScanJsonOverAPseudoTerminal) {
    rack::sim::SimProcess sim(VENTRIX_SIM, {"--rack", rackFile(), "--pty", "-q"});
    const CliRun result = run({"--port", "com1", "--baud", "9600", "scan", "--json"},
                              {"QUORVEL_COM1=" + QString::fromStdString(sim.where())});
    expectDefaultRack(result);
}

TEST_F(CliEndToEnd, SimulatedRackInsideTheProgram) {
    const CliRun result = run({"--simulate", "scan", "--json"});
    expectDefaultRack(result);
    // The stored port settings stay untouched.
    const QSettings stored(home.path() + "/config/Quorvel/Quorvel.ini", QSettings::IniFormat);
    EXPECT_FALSE(stored.contains("Properties/CommPort"));
    EXPECT_FALSE(stored.contains("Properties/IpAdr"));
}

TEST_F(CliEndToEnd, UnreachableAddressIsNoRackWithAdvice) {
    rack::sim::SimProcess sim(VENTRIX_SIM, {"--rack", rackFile(), "--tcp", "127.0.0.1:0", "-q"});
    const std::string address = sim.where();
    sim.stop();
    const CliRun result = run({"--port", "tcp", "--address", QString::fromStdString(address),
                               "scan"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Check the address (--address HOST[:PORT])"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("QStandardPaths"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("Exit Quorlink"), std::string::npos) << result.err;
}

TEST_F(CliEndToEnd, FirmwareListOffersTheShippedRacksType4Module) {
    const QString downloads = home.path() + "/firmware";
    fwgen::writeAmplifierSet(downloads.toStdString());
    const CliRun result =
        run({"--simulate", "-q", "firmware", "list", "--slot", "6", "--dir", downloads, "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_EQ(json["device"], "amplifier in slot 6");
    ASSERT_EQ(json["entries"].size(), 1u) << result.out;
    EXPECT_EQ(json["entries"][0]["name"], "ra901bp649.s00");
    EXPECT_EQ(json["entries"][0]["version"], "P6.49");
    EXPECT_TRUE(json["entries"][0]["default"]);

    const CliRun outside = run({"firmware", "list", "--slot", "17", "--dir", downloads});
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_NE(outside.err.find("the rack has slots 1-16"), std::string::npos) << outside.err;
}

TEST_F(CliEndToEnd, UnknownPortIsAFailure) {
    const CliRun result = run({"--port", "com7", "scan"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("unknown port \"com7\""), std::string::npos);
}

TEST_F(CliEndToEnd, TableForPeople) {
    const CliRun result = run({"--simulate", "-q", "scan"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("POSITION  IDENTITY", 0), 0u);
    EXPECT_NE(result.out.find("\n01        QTX-RA51,RA51-WS050,0,P2.06"), std::string::npos);
}

}  // namespace
