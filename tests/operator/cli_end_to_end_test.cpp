// quorvel-cli as its own process: against ventrix-sim over TCP, against the rack it simulates
// itself, and the refusals of input that does not fit the rack before anything is sent.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <nlohmann/json.hpp>

#include <fstream>

#include "cli_process.h"
#include "linkpad/linkpad.h"
#include "rack/sim/sim_process.h"
#include "tools/fwgen/amplifier_set.h"
#include "tools/fwgen/panel_firmware.h"
#include "tools/fwgen/processor_firmware.h"

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
    // Slot 8 waits in its loader: never up to date.
    EXPECT_EQ(planned, (std::vector<std::string>{"group ra51", "group ra51-F72", "group ra14",
                                                 "group ra77", "group ra901b", "group RA56"}));
    const std::string text = json["reportText"].get<std::string>();
    EXPECT_NE(text.find("- Slot 8 : QTX-RA51,RA51-WS050,L1,V1.02,0012 --> selected for download "
                        "(it runs its loader 1 V1.02)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Components selected for download: 6 in 6 loop(s)."), std::string::npos)
        << text;
}

// The answer of the rack behind `address` (ventrix-sim over TCP) to `query`; "" without one.
std::string askRack(const std::string& address, const std::string& query) {
    if (QTX_OpenPort(QTX_PORT_TCP, 0, address.c_str(), 0, 0, 4096) < 0) return "";
    std::string answer;
    if (QTX_ActivateInterpreter(2000) >= 0) {
        QTX_SetTimeout(2000);
        QTX_WritePort((query + "\r\n").c_str());
        char buffer[200] = {};
        int32_t count = 0, status = 0;
        if (QTX_ReadPort(buffer, sizeof buffer, &count, &status, 10) == 0)
            answer.assign(buffer, static_cast<size_t>(std::max(count, 0)));
    }
    QTX_WritePort("DCL\r\n");
    QTX_ClosePort();
    return answer;
}

// Processor and panel runs on racks of their own. A KX43 update cut in the file copy fails naming
// the boot loader and the saved settings; the retry, a process of its own, restores them. A panel
// in its bootstrap mode, which no scan finds, is bootstrapped over the pseudo-terminal.
TEST_F(CliEndToEnd, ProcessorAndPanelRunsOnRacksOfTheirOwn) {
    QSettings settings(home.filePath("config/Quorvel/Quorvel.ini"), QSettings::IniFormat);
    settings.setValue("Properties/ResetTimeout3", "0");  // restart waits of 2 s
    settings.sync();
    fwgen::writeKx43Firmware(downloads().toStdString() + "/KX43P210.S00", "P2.10");
    std::ofstream(downloads().toStdString() + "/KX43P210.S00/KX43.CFG") << fwgen::kx43FunctionFile();
    const QString kx43Rack = home.filePath("kx43.json");
    std::ofstream(kx43Rack.toStdString()) << R"({"timing": {"resetMs": 1500},
        "processor": {"kind": "KX43", "version": "P2.06", "loaderRevision": "2.10",
          "restartMs": 500, "settings": {"serialNumber": "\"KX43-0815\"", "gpibAddress": 12,
          "rs485Address": 5, "rs232": "19200,1,2"}},
        "faults": [{"pattern": "^PRC9,3,", "occurrence": 4, "action": "drop"}]})";
    rack::sim::SimProcess kx43(VENTRIX_SIM, {"--rack", kx43Rack.toStdString(), "--tcp", "127.0.0.1:0", "-q"});
    const QStringList tcp = {"--port", "tcp", "--address", QString::fromStdString(kx43.where()), "-y"};

    const CliRun cut = run(tcp + QStringList{"--json", "processor", "download"});
    EXPECT_EQ(cut.exitCode, 1) << cut.err;
    const std::string said = cut.out + cut.err;
    EXPECT_NE(said.find("Port Timeout!"), std::string::npos) << said;
    const std::string saved = home.filePath("state/quorvel/kx43-settings/KX43-0815.settings").toStdString();
    EXPECT_NE(said.find("KX is left in its boot loader, its settings are saved in " + saved +
                        ". Run the same update again."),
              std::string::npos)
        << said;
    const auto report = nlohmann::json::parse(cut.out, nullptr, false);
    ASSERT_TRUE(report.is_object()) << cut.out;
    EXPECT_EQ(report.value("state", "").rfind("The processor waits in its boot loader", 0), 0u)
        << cut.out;

    const CliRun retry = run(tcp + QStringList{"processor", "download"});
    EXPECT_EQ(retry.exitCode, 0) << retry.err;
    EXPECT_NE(retry.err.find("the settings saved in " + saved), std::string::npos) << retry.err;
    for (const auto& [query, answer] :
         {std::pair{"IDN?", "QTX,KX43,0,P2.10"}, {"SNO?", "\"KX43-0815\""}, {"ADS?1303", "12"},
          {"ADS?1302", "5"}, {"SBR?1301", "1301,19200,1,2"}})
        EXPECT_EQ(askRack(kx43.where(), query), answer) << query;
    EXPECT_EQ(kx43.stop(), 0);

    // The panel in its bootstrap mode behind the KX43's pass-through, COM1 the pseudo-terminal.
    const auto panel = fwgen::writePanelFirmware(downloads().toStdString());
    std::ofstream(panel.strapperConfig, std::ios::app) << "TRANSF = 1\r\n";
    rack::sim::SimProcess bootstrap(VENTRIX_SIM, {"--rack", PANEL_BOOTSTRAP_RACK, "--pty", "-q"});
    const CliRun strapped = testing_support::runCli(
        QUORVEL_CLI, home.path(),
        {"--port", "com1", "--mode", "S", "-y", "panel", "bootstrap", "--firmware", "DV43A410.S00", "--serial",
         "SN-4711", "--hw-rev", "B2"},
        {"QUORVEL_COM1=" + QString::fromStdString(bootstrap.where())});
    EXPECT_EQ(strapped.exitCode, 0) << strapped.err;
    EXPECT_NE(strapped.err.find("DV bootstraploader finished!"), std::string::npos) << strapped.err;
    EXPECT_EQ(bootstrap.stop(), 0);
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
    {{"--simulate", "{small}", "--mode", "S", "kx33", "upload", "--output", "{home}/x.upl"},
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
