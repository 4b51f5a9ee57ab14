// quorvel-cli as its own process: against ventrix-sim over TCP, against the rack it simulates
// itself, and the refusals of input that does not fit the rack before anything is sent.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <nlohmann/json.hpp>

#include "cli_process.h"
#include "rack/sim/sim_process.h"
#include "tools/fwgen/amplifier_set.h"

namespace {

using testing_support::CliRun;

// A home with the test firmware of every amplifier type as its download directory.
class CliEndToEnd : public ::testing::Test {
  protected:
    CliEndToEnd() {
        QDir(home.path()).mkpath("Download");
        fwgen::writeAmplifierSet(downloads().toStdString());
        QSettings settings(home.filePath("config/Quorvel/Quorvel.ini"), QSettings::IniFormat);
        settings.setValue("Properties/DownloadPath", downloads() + "/");
        settings.setValue("Properties/LogFileName", home.filePath("Quorlink.log"));
    }
    CliRun run(const QStringList& arguments) {
        return testing_support::runCli(QUORVEL_CLI, home.path(), arguments);
    }
    QString downloads() const { return home.filePath("Download"); }

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

// Scans over TCP; once the simulator is gone, the address is no rack, with advice and without the
// noise of a missing runtime directory. The simulated rack as JSON and as a table for people, the
// stored port settings untouched, each device with its state; the firmware offered for its type-4
// module.
TEST_F(CliEndToEnd, ScanOverTcpAndTheSimulatedRackInsideTheProgram) {
    rack::sim::SimProcess sim(VENTRIX_SIM, {"--rack", RACK_FILE, "--tcp", "127.0.0.1:0", "-q"});
    const QString address = QString::fromStdString(sim.where());
    const CliRun found = run({"--port", "tcp", "--address", address, "-q", "scan", "--json"});
    expectDefaultRack(found);
    EXPECT_EQ(found.err, "");
    sim.stop();

    const CliRun gone = run({"--port", "tcp", "--address", address, "scan"});
    EXPECT_EQ(gone.exitCode, 3);
    EXPECT_EQ(gone.out, "");
    EXPECT_NE(gone.err.find("Check the address (--address HOST[:PORT])"), std::string::npos)
        << gone.err;
    EXPECT_EQ(gone.err.find("QStandardPaths"), std::string::npos) << gone.err;
    EXPECT_EQ(gone.err.find("Exit Quorlink"), std::string::npos) << gone.err;

    const CliRun simulated = run({"--simulate", "scan", "--json"});
    expectDefaultRack(simulated);
    const auto scanned = nlohmann::json::parse(simulated.out);
    EXPECT_EQ(scanned["slots"][0]["slot"], 1);
    EXPECT_EQ(scanned["slots"][0]["channel"], 0);
    EXPECT_EQ(scanned["slots"][0]["state"], "outdated");
    EXPECT_EQ(scanned["slots"][0]["newer_firmware"], "P2.07");
    EXPECT_EQ(scanned["slots"][2]["state"], "empty");
    EXPECT_EQ(scanned["slots"][7]["state"], "attention");
    EXPECT_TRUE(scanned["slots"][7]["newer_firmware"].is_null());
    EXPECT_EQ(scanned["processor"]["newer_firmware"], "P2.06");
    EXPECT_EQ(scanned["panel"]["state"], "outdated");
    const QSettings stored(home.filePath("config/Quorvel/Quorvel.ini"), QSettings::IniFormat);
    EXPECT_FALSE(stored.contains("Properties/CommPort"));
    EXPECT_FALSE(stored.contains("Properties/IpAdr"));

    const CliRun table = run({"--simulate", "-q", "scan"});
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_EQ(table.out.rfind("POSITION  IDENTITY", 0), 0u);
    EXPECT_NE(table.out.find("\n01        QTX-RA51,RA51-WS050,0,P2.06"), std::string::npos);

    const CliRun list = run(
        {"--simulate", "-q", "firmware", "list", "--slot", "6", "--dir", downloads(), "--json"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const auto offered = nlohmann::json::parse(list.out);
    EXPECT_EQ(offered["device"], "amplifier in slot 6");
    ASSERT_EQ(offered["entries"].size(), 1u) << list.out;
    EXPECT_EQ(offered["entries"][0]["name"], "ra901bp649.s00");
    EXPECT_EQ(offered["entries"][0]["version"], "P6.49");
    EXPECT_TRUE(offered["entries"][0]["default"]);

}

// On a machine without settings the simulation brings its own firmware, newer and older than the
// rack's, for a list and a dry run; the temporary download directory is gone afterwards.
TEST_F(CliEndToEnd, TheSimulationBringsItsOwnFirmwareAndRemovesIt) {
    QSettings(home.filePath("config/Quorvel/Quorvel.ini"), QSettings::IniFormat)
        .remove("Properties/DownloadPath");
    const CliRun list = run({"--simulate", "firmware", "list", "--slot", "1", "--json"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const auto offered = nlohmann::json::parse(list.out);
    ASSERT_EQ(offered["entries"].size(), 2u) << list.out;
    EXPECT_EQ(offered["entries"][0]["version"], "P2.05");
    EXPECT_EQ(offered["entries"][1]["version"], "P2.07");
    EXPECT_TRUE(offered["entries"][1]["default"]);
    const std::string marker = "test firmware in ";
    const size_t at = list.err.find(marker);
    ASSERT_NE(at, std::string::npos) << list.err;
    const std::string folder = list.err.substr(at + marker.size(),
                                               list.err.find('\n', at) - at - marker.size());
    EXPECT_FALSE(QDir(QString::fromStdString(folder)).exists()) << folder;

    const CliRun plan = run({"--simulate", "-q", "update-all", "--dry-run", "--json"});
    ASSERT_EQ(plan.exitCode, 0) << plan.err;
    const auto json = nlohmann::json::parse(plan.out);
    std::vector<std::string> planned;
    for (const auto& phase : json["phases"])
        if (phase["outcome"] == "planned") planned.push_back(phase["name"]);
    EXPECT_EQ(planned, (std::vector<std::string>{"group ra51-F72", "group ra14", "group ra77",
                                                 "group ra901b", "group RA56"}));
    EXPECT_NE(json["reportText"].get<std::string>().find(
                  "Components selected for download: 5 in 5 loop(s)."),
              std::string::npos);
}

// A request that does not fit, the error it is refused with and the exit code: 1 for bad input,
// 3 for a device that is not there. "{small}" stands for a small rack (quick to scan) whose RA56
// keeps its NodePods out of reach, "{home}" and "{downloads}" for the test's folders.
struct Refusal {
    QStringList arguments;
    std::string error;
    int exitCode;
};

const Refusal kRefusals[] = {
    {{"--port", "com7", "scan"}, "unknown port \"com7\"", 1},
    {{"firmware", "list", "--slot", "17", "--dir", "{downloads}"}, "the rack has slots 1-16", 1},
    {{"--simulate", "-q", "download", "--slots", "17"}, "slot \"17\" is not a slot number 1-16", 1},
    {{"--simulate", "-q", "download", "--slots", ","}, "no slot given", 1},
    {{"--simulate", "-q", "download", "--slots", "6", "--firmware", "ra77p311.s00"},
     "firmware ra77p311.s00 is not offered for slot 6; offered: ra901bp647.s01, ra901bp649.s00",
     1},
    {{"--simulate", "-q", "upload", "flash", "--slot", "2", "--output", "/nonexistent/x.upl"},
     "--output /nonexistent/x.upl cannot be written",
     1},
    {{"--simulate", "-q", "download", "--slots", "2", "--backup", "/nonexistent"},
     "--backup /nonexistent is not",
     1},
    {{"--simulate", "{small}", "nodepod", "scan", "--slot", "2"}, "slot 2 holds no RA56", 3},
    {{"--simulate", "{small}", "nodepod", "scan", "--slot", "1"}, "No NODEPOD device found!", 3},
    {{"--simulate", "{small}", "kx33", "upload", "--output", "{home}/x.upl"},
     "the rack's processor is no KX33",
     1},
};

class CliRefusals : public CliEndToEnd, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CliRefusals, RequestThatDoesNotFitIsRefused) {
    QFile rack(home.filePath("small.json"));
    ASSERT_TRUE(rack.open(QIODevice::WriteOnly));
    rack.write(R"({"processor": {"kind": "KX43"}, "slots": [{"slot": 0, "kind": "RA56",
        "amtNumber": 56, "stageMs": 1, "refuseDownloadMode": true}]})");
    rack.close();
    QStringList arguments = GetParam().arguments;
    arguments.replaceInStrings("{small}", rack.fileName())
        .replaceInStrings("{downloads}", downloads())
        .replaceInStrings("{home}", home.path());
    const CliRun result = run(arguments);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_NE(result.err.find(GetParam().error), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Requests, CliRefusals, ::testing::ValuesIn(kRefusals));

}  // namespace
