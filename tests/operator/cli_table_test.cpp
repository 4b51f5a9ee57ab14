// Every quorvel-cli subcommand in-process against the simulated rack on the virtual clock, as one
// table: the exit code, what reached the rack (nothing, exactly the scan's commands, or more), and a
// text the command prints. Dry runs send nothing beyond the scan; "nothing to do" exits 2, a
// slot without a module 3, a refusal 1 — each before anything is sent.
#include <gtest/gtest.h>

#include <QDir>
#include <cctype>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <fstream>
#include <nlohmann/json.hpp>

#include "operator/cli/command_line.h"
#include "scoped_env.h"
#include "sim_rack.h"
#include "tools/fwgen/amplifier_set.h"
#include "tools/fwgen/panel_firmware.h"
#include "tools/fwgen/processor_firmware.h"

namespace {

// What reached the rack: nothing, exactly what a scan sends, or something else (a real run).
enum class Sent { Nothing, Scan, Other };

struct CliCase {
    std::vector<std::string> arguments;  // after "--port tcp --address ... --config-dir ..."
    int exitCode;
    Sent sent;
    std::string printed;  // found on stdout or stderr ("" = not checked)
};

// The default rack with a processor that relays uploads over TCP and an RA80B (a module with RC
// and RA modes) in slot 11. Slots: 1 RA51 with two connection boards, 2 RA51-F72, 3 empty, 4
// RA14, 5 RA77C, 6 RA901B P6.48, 8 RA51 in loader 1, 9 RA56.
nlohmann::json tableRack() {
    std::ifstream file(RACK_FILE);
    nlohmann::json rack = nlohmann::json::parse(file);
    rack["processor"]["identity"] = "QTX,KX43,0,P2.10";
    rack["processor"]["version"] = "P2.10";
    nlohmann::json rcRa = rack["slots"][0];
    rcRa["slot"] = 10;
    rcRa["model"] = "RA80B";
    rack["slots"].push_back(rcRa);
    return rack;
}

class CliTable : public testing_support::SimRackTest, public ::testing::WithParamInterface<CliCase> {
  protected:
    CliTable() {
        QDir(home.path()).mkpath("Download");
        // Qt remembers the user's settings folder once read: this run's home is set explicitly.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath("config"));
        const std::string downloads = home.filePath("Download").toStdString();
        fwgen::writeAmplifierSet(downloads);
        fwgen::writePanelFirmware(downloads);
        fwgen::writeKx43Firmware(downloads + "/KX43P250.S00", "P2.50");
        std::ofstream(downloads + "/KX43P250.S00/KX43.CFG") << fwgen::kx43FunctionFile();
        // A directory whose files hold another version than its name promises.
        fwgen::writeKx43Firmware(downloads + "/KX43P260.S00", "P2.50");
        std::ofstream(downloads + "/KX43P260.S00/KX43.CFG") << fwgen::kx43FunctionFile();
        QSettings settings(home.filePath("config/Quorvel/Quorvel.ini"), QSettings::IniFormat);
        settings.setValue("Properties/DownloadPath", home.filePath("Download") + "/");
        settings.setValue("Properties/LogFileName", home.filePath("Quorlink.log"));
    }

    struct Run {
        int exitCode;
        std::vector<std::string> sent;  // the command lines the rack received
        std::string printed;
    };

    Run run(std::vector<std::string> arguments) {
        useRack(tableRack());
        for (std::string& argument : arguments) {
            const auto at = argument.find("{home}");
            if (at != std::string::npos) argument.replace(at, 6, home.path().toStdString());
        }
        arguments.insert(arguments.begin(), {"--port", "tcp", "--address", "127.0.0.1:5025",
                                             "--config-dir", CONFIG_DIR});
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int code = quorvel::cli::RunCommandLine(arguments);
        const std::string out = ::testing::internal::GetCapturedStdout();
        const std::string err = ::testing::internal::GetCapturedStderr();
        return {code, rack().received(), out + err};
    }

    QTemporaryDir home;
    testing_support::ScopedEnv config{"XDG_CONFIG_HOME", home.filePath("config").toStdString()};
    testing_support::ScopedEnv temporary{"TMPDIR", home.path().toStdString()};
};

const CliCase kCases[] = {
    // Dry runs and listings: the scan, nothing more.
    {{"scan"}, 0, Sent::Scan, "RA51"},
    {{"firmware", "list", "--slot", "1"}, 0, Sent::Scan, "ra51p207.s00"},
    {{"--dry-run", "download", "--slots", "1"}, 0, Sent::Scan, "plan: download"},
    {{"--dry-run", "download", "--slots", "1", "--backup", "{home}"}, 0, Sent::Scan, "plan"},
    {{"--dry-run", "update-all"}, 0, Sent::Scan, "plan: update all"},
    {{"--dry-run", "upload", "flash", "--slot", "1", "--output", "{home}/s.upl"},
     0,
     Sent::Scan,
     "external flash file"},
    {{"--dry-run", "upload", "eeprom", "--slot", "6", "--output", "{home}/jb"},
     0,
     Sent::Scan,
     "jb_6_JB1.eep"},
    {{"--dry-run", "mode", "rc", "--slots", "11"}, 0, Sent::Scan, "switch to RC [planned]"},
    {{"--dry-run", "subchannels", "16", "--slots", "1,2"}, 0, Sent::Scan, "RA51 16"},
    {{"--dry-run", "reset-loader1", "--slot", "4"}, 0, Sent::Scan, "reset loader 1 [planned]"},
    {{"--dry-run", "clear-names", "--slots", "1,4"}, 0, Sent::Scan, "clear channel names"},
    {{"--dry-run", "baud-reset"}, 0, Sent::Nothing, "interface baud rate [planned]"},
    {{"--dry-run", "reset"}, 0, Sent::Nothing, "reset rack [planned]"},
    {{"--dry-run", "-y", "processor", "download", "--directory", "KX43P250.S00"}, 0, Sent::Scan, ""},
    {{"--dry-run", "-y", "--mode", "S", "processor", "loader1", "--directory", "KX43P250.S00"},
     0,
     Sent::Scan,
     ""},
    {{"--dry-run", "processor", "activate"}, 0, Sent::Scan, ""},
    {{"--dry-run", "-y", "panel", "download", "--firmware", "DV43A410.S00"}, 0, Sent::Scan, ""},
    {{"--dry-run", "-y", "--mode", "S", "panel", "loader1", "--firmware", "DV43A100.ld1"},
     0,
     Sent::Scan,
     ""},
    {{"--dry-run", "-y", "panel", "activate"}, 0, Sent::Scan, "asks: DV33-Application"},
    {{"--dry-run", "panel", "bootstrap", "--serial", "000000012345", "--hw-rev", "1.00"},
     1,
     Sent::Nothing,
     "add --mode S"},
    {{"--dry-run", "--mode", "S", "kx33", "upload", "--output", "{home}/x.upl"},
     1,
     Sent::Scan,
     "no KX33"},
    {{"--dry-run", "nodepod", "scan", "--slot", "9"}, 0, Sent::Scan, "add --yes to scan them"},
    {{"--dry-run", "nodepod", "download", "--slot", "9", "--nodes", "all"},
     0,
     Sent::Scan,
     "firmware offered: none"},
    // Nothing to do: a type without the function (2), a slot without a module (3).
    {{"mode", "rc", "--slots", "5"}, 2, Sent::Scan, "not available for slot 5 (RA77C)"},
    {{"subchannels", "16", "--slots", "4"}, 2, Sent::Scan, "not available for slot 4 (RA14)"},
    {{"upload", "flash", "--slot", "4", "--output", "{home}/a.upl"}, 2, Sent::Scan, "(RA14)"},
    {{"upload", "eeprom", "--slot", "1", "--output", "{home}/jb"}, 2, Sent::Scan, "Slot 1 not"},
    {{"reset-loader1", "--slot", "3"}, 3, Sent::Scan, "slot 3 holds no module"},
    {{"clear-names", "--slots", "1,7"}, 3, Sent::Scan, "slot 7 holds no module"},
    {{"--dry-run", "download", "--slots", "3"}, 3, Sent::Scan, "slot 3 holds no module"},
    {{"--dry-run", "subchannels", "16", "--slots", "10"}, 3, Sent::Scan, "holds no module"},
    // Refusals before anything is sent.
    {{"subchannels", "16", "--slots", "1,9"}, 1, Sent::Scan, "slots 1 (RA51), 9 (RA56) take"},
    {{"subchannels", "16", "--slots", "8"}, 1, Sent::Scan, "in Bootloader mode!"},
    {{"mode", "ra", "--slots", "5,11"}, 2, Sent::Scan, "slot 5 (RA77C)"},
    {{"upload", "flash", "--slots", "1,2", "--output", "{home}/a.upl"}, 1, Sent::Scan, "more than"},
    {{"upload", "flash", "--slot", "1", "--output", "{home}/slot1"}, 1, Sent::Scan, "end in \"1\""},
    {{"upload", "eeprom", "--slots", "1,6", "--output", "{home}/jb"}, 1, Sent::Scan, "slot 1 (RA51)"},
    {{"reset-loader1", "--slots", "1,2"}, 1, Sent::Nothing, "works on one slot"},
    {{"-y", "processor", "loader1", "--directory", "KX43P250.S00"}, 1, Sent::Nothing, "--mode S"},
    {{"-y", "panel", "loader1", "--firmware", "DV43A100.ld1"}, 1, Sent::Nothing, "--mode S"},
    {{"kx33", "upload", "--output", "{home}/x.upl"}, 1, Sent::Nothing, "--mode S"},
    {{"download", "--slots", "17"}, 1, Sent::Nothing, "not a slot number 1-16"},
    // The started panel application waits for the operator: no terminal needs --yes.
    {{"--dry-run", "panel", "activate"}, 1, Sent::Scan, "run again with --yes"},
    {{"panel", "download", "--firmware", "DV43A410.S00"}, 1, Sent::Scan, "run again with --yes"},
    // Real runs say what changed.
    {{"clear-names", "--slots", "1"}, 0, Sent::Other, "channel names of slot 1 (RA51) cleared"},
    {{"reset"}, 0, Sent::Other, "rack reset"},
    {{"-y", "panel", "download", "--firmware", "DV43A410.S00"}, 0, Sent::Other, "not waited for"},
    {{"-y", "processor", "download", "--directory", "KX43P250.S00"}, 0, Sent::Other, ""},
    // Success only when the processor was identified again at the directory's version.
    {{"-y", "processor", "download", "--directory", "KX43P260.S00"},
     1,
     Sent::Other,
     "runs P2.50 after the run, not P2.60"},
};

TEST_P(CliTable, ExitCodeTrafficAndOutput) {
    const CliCase& c = GetParam();
    const Run result = run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.printed;
    if (!c.printed.empty()) {
        EXPECT_NE(result.printed.find(c.printed), std::string::npos) << result.printed;
    }
    static const std::vector<std::string> scan = run({"scan"}).sent;
    switch (c.sent) {
        case Sent::Nothing:
            EXPECT_TRUE(result.sent.empty());
            break;
        case Sent::Scan:
            EXPECT_EQ(result.sent, scan);
            break;
        case Sent::Other:
            EXPECT_FALSE(result.sent.empty());
            EXPECT_NE(result.sent, scan);
            break;
    }
}

// Test names from the arguments ("dry_run_download_slots_1"), so a failing row names itself.
std::string CaseName(const ::testing::TestParamInfo<CliCase>& info) {
    std::string name = std::to_string(info.index);
    for (const std::string& argument : info.param.arguments) {
        name += '_';
        for (const char c : argument) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Subcommands, CliTable, ::testing::ValuesIn(kCases), CaseName);

}  // namespace
