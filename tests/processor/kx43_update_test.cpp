// The KX43 update against a scripted processor: the exact commands, the settings read before the
// boot loader starts, and what the data commands carry.
#include <gtest/gtest.h>

#include <fstream>

#include "hex_text.h"
#include "link/processor/kx43_settings.h"
#include "link/quorlink.h"
#include "link_fixture.h"
#include "temp_dir.h"

using namespace testing_support;
using quorlink::processor::Setting;

namespace {

std::string dataCommand(const std::string& bytes) {
    return "PRC9,3,,\"" + upperHex(bytes) + "\"\n";
}

using Answers = std::vector<std::pair<const char*, const char*>>;
// The newer generation's settings (set B), each query with its answer.
const Answers kSetB = {{"PRC?12\n", "1"},  {"PRC?23\n", "0"},        {"PRC?13\n", "1"},
                       {"PRC?21\n", "0"},  {"PRC?30\n", "4711"},     {"PIP?1\n", "1,3"},
                       {"PIP?2\n", "2,7"}, {"POP?1\n", "1,1"},       {"POP?2\n", "2,0"},
                       {"PRC?22\n", "1"},  {"NTP?1\n", "1,10.0.0.5"}};

class Kx43UpdateTest : public ScriptedLinkTest {
protected:

    void scriptReopen() { peer->expect("DCL\r\n").expectActivate().line("SRB1\r\n", "0"); }
    void scriptWake() {
        peer->expect("\x12\r\n");
        scriptReopen();
    }
    void writeFile(const std::string& name, const std::string& bytes) {
        testing_support::writeFile(directory.file(name), bytes);
    }
    int update(int variant, int count, const std::string& list, int restartWait = 1) {
        return UpdateKX43(6000, recordMessage, recordProgress, recordStatus, nullptr,
                          directory.path().c_str(), "P2.06", variant, count, list.c_str(), restartWait);
    }
    static std::string stored(Setting s) {
        return quorlink::processor::settingsStore()[static_cast<size_t>(s)];
    }

    TempDir directory;
};

TEST_F(Kx43UpdateTest, FilesInTheBootLoaderOnlyTheLowerCaseIniIsPatched) {
    const std::string upper(20, 'u');
    std::string ini(130, 'i');
    writeFile("KX43INI.CNF", upper);
    writeFile("empty", "");
    writeFile("kx43ini.cnf", ini);
    scriptWake();
    peer->line("PRC?9\n", "1");  // already in the boot loader: no settings, no "PRC9,1"
    scriptWake();
    peer->line("PRC9,7\n", "0")
        .line("PRC9,2,KX43INI.CNF\n", "0")
        .line(dataCommand(upper), "0")
        .line("PRC9,4\n", "0")
        .line("PRC9,2,empty\n", "0")
        .line("PRC9,4\n", "0");
    std::string patched = ini.substr(0, 128);
    patched.replace(2, 4, std::string("\x7F\x00\x00\x01", 4));  // connected to 127.0.0.1
    peer->line("PRC9,2,kx43ini.cnf\n", "0")
        .line(dataCommand(patched), "0")
        .line(dataCommand("ii"), "0")  // the last block carries only what remains
        .line("PRC9,4\n", "0");
    EXPECT_EQ(update(1, 3, "#KX43INI.CNF#empty#kx43ini.cnf"), 0);
    // before the last 2 of 130 bytes: 100 − 2 × 100 ÷ 130 = 98.46, truncated
    EXPECT_EQ(reports.progress, (std::vector<int>{0, 0, 98}));
    EXPECT_EQ(reports.statuses.back(), std::make_pair(10, std::string("Transferring kx43ini.cnf...")));
    const auto waits = clock.waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 1000), 1);  // the pause before "PRC9,7"
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 200), 0);

    reports.clear();  // a refused write ends with its text
    writeFile("kx43.exe", "abc");
    scriptWake();
    peer->line("PRC?9\n", "1");
    scriptWake();
    peer->line("PRC9,7\n", "0").line("PRC9,2,kx43.exe\n", "0").line(dataCommand("abc"), "?");
    EXPECT_EQ(update(1, 1, "#kx43.exe"), -2);
    // the processor stays in its boot loader: the failure says so and what to do
    EXPECT_EQ(messageTexts().back(), "KX is left in its boot loader. Run the same update again.");
    EXPECT_EQ(messageTexts().end()[-2], "Writing Data to KX failed!");
}

TEST_F(Kx43UpdateTest, NewerGenerationReadsSetBAndWaitsTheDoubledRestart) {
    scriptWake();
    peer->line("PRC?9\n", "?")
        .line("CHS-1\n", "0")
        .line("SPS1\n", "0")
        .line("IDN?\n", "QTX,KX63,0,P1.20");
    for (const auto& [query, answer] : kSetB) peer->line(query, answer);
    peer->line("PRC9,1\n", "0");
    scriptWake();
    peer->line("PRC9,7\n", "0");
    EXPECT_EQ(update(5, 0, "", 2), 0);  // no files: restarts and starts the boot loader all the same
    const auto waits = clock.waits();
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 200), 1 + 2 * 10);  // after "IDN?", restart
    EXPECT_EQ(reports.progress.back(), 100);
    EXPECT_EQ(stored(Setting::GeneralPurposeRegister), "4711");
    EXPECT_EQ(stored(Setting::NtpServerAddress), "1,10.0.0.5");
    EXPECT_EQ(stored(Setting::SerialNumber), "");        // set A is not read: the serial is empty,
    EXPECT_EQ(stored(Setting::TcpIpAddress), "?");       // the rest not available
}

// A setting read that times out or answers something that cannot be written back ends the update
// before the boot loader starts, with a message naming the setting and what came: a garbled value
// would otherwise be written to the new firmware, or replaced by a default, and the update
// succeed. A refusal "?" means the processor lacks the setting, and for the settings of which only
// the first character is written back that character is enough: those updates go on.
struct SettingsReadCase {
    int variant;
    size_t query;
    const char* answer;   // nullptr: no answer
    const char* message;  // nullptr: the answer is kept and the update goes on
};

class Kx43SettingsReadTest : public Kx43UpdateTest, public ::testing::WithParamInterface<SettingsReadCase> {};

TEST_P(Kx43SettingsReadTest, KeepsWhatCanBeWrittenBackAndRefusesTheRest) {
    const Answers setA = {{"SNO?\n", "\"KX43-1\""},
                          {"ADS?1305\n", "10.1.2.3"},
                          {"ADS?1303\n", "7"},
                          {"ADS?1302\n", "1"},
                          {"SBR?1302\n", "1302,9600,2,1"},
                          {"SBR?1301\n", "1301,9600,2,1"},
                          {"PRC?6\n", "0"},
                          {"PRC?7\n", "0"}};
    const SettingsReadCase& c = GetParam();
    scriptWake();
    peer->line("PRC?9\n", "?").line("CHS-1\n", "0").line("SPS1\n", "0").line("IDN?\n", "QTX,KX43,0,P1.41");
    const Answers& set = c.variant == 5 ? kSetB : setA;
    for (size_t i = 0; i < c.query; ++i) peer->line(set[i].first, set[i].second);
    if (!c.answer) {
        peer->expect(set[c.query].first);
    } else {
        peer->line(set[c.query].first, c.answer);
    }
    if (c.message) {
        // nothing after the failing query: the processor is left as it was (the script ends there)
        EXPECT_EQ(update(c.variant, 0, ""), -1);
        EXPECT_EQ(lastMessage(), c.message);
        return;
    }
    for (size_t i = c.query + 1; i < set.size(); ++i) peer->line(set[i].first, set[i].second);
    peer->line("PRC9,1\n", "0");
    scriptWake();
    peer->line("PRC9,7\n", "0");
    EXPECT_EQ(update(c.variant, 0, ""), 0) << lastMessage();
    const auto& store = quorlink::processor::settingsStore();
    const int first = c.variant == 5 ? static_cast<int>(Setting::Filter) : 0;
    EXPECT_EQ(store[static_cast<size_t>(first) + c.query], c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Kx43SettingsReadTest,
    ::testing::Values(
        SettingsReadCase{1, 2, nullptr, "Port Timeout GPIB Address!"},
        SettingsReadCase{1, 1, "10.1.2", "Invalid answer reading Tcp/Ip-Address: \"10.1.2\"! The processor was left unchanged."},
        SettingsReadCase{1, 3, "k", "Invalid answer reading RS485 Address: \"k\"! The processor was left unchanged."},
        SettingsReadCase{1, 5, "k301,9600,2,1", "Invalid answer reading RS232 Port Settings: \"k301,9600,2,1\"! The processor was left unchanged."},
        SettingsReadCase{1, 7, "j", "Invalid answer reading Power Save Timing: \"j\"! The processor was left unchanged."},
        SettingsReadCase{5, 1, "k", "Invalid answer reading Multi Client: \"k\"! The processor was left unchanged."},
        SettingsReadCase{5, 4, "j", "Invalid answer reading General Purpose Register: \"j\"! The processor was left unchanged."},
        SettingsReadCase{5, 5, "k,3", "Invalid answer reading PIP1: \"k,3\"! The processor was left unchanged."},
        SettingsReadCase{5, 6, "2,", "Invalid answer reading PIP2: \"2,\"! The processor was left unchanged."},
        SettingsReadCase{5, 10, "1,10.0.0", "Invalid answer reading NTP Server IP Address: \"1,10.0.0\"! The processor was left unchanged."},
        SettingsReadCase{1, 2, "?", nullptr},    // a processor without GPIB
        SettingsReadCase{1, 6, "?", nullptr},    // power save mode: the variant's default
        SettingsReadCase{1, 7, "10", nullptr},   // power save timing: "PRC7,1"
        SettingsReadCase{5, 0, "1 (on)", nullptr},
        SettingsReadCase{5, 5, "?", nullptr},
        SettingsReadCase{5, 10, "?", nullptr}));

}  // namespace
