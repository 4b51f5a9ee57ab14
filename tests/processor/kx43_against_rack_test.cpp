// The KX43 update and start against the simulated boards: the files in the board's flash, its
// settings and the version it reports confirm the effect.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "link/processor/kx43_settings_file.h"
#include "link/quorlink.h"
#include "rack/processor/kx43_board.h"
#include "sim_rack.h"
#include "temp_dir.h"
#include "tools/fwgen/processor_firmware.h"

using namespace testing_support;

namespace {

constexpr int kKx43RackTimeout = 6000;
constexpr int kRestartWait = 6;  // seconds; longer than the boards' 4 s restart

const nlohmann::json kOlderSettings = {
    {"serialNumber", "\"KX43-0815\""}, {"tcpIpAddress", "10.1.2.3"},
    {"gpibAddress", 12},               {"rs485Address", 5},
    {"rs232", "19200,1,2"},            {"rs485", "38400,0,1"},
    {"powerSaveMode", "1"},            {"powerSaveTiming", "4"}};

// The input callback is stored, never called.
int inputCalls = 0;
void countInput(int32_t) { ++inputCalls; }

class Kx43AgainstRackTest : public SimRackTest {
protected:
    Kx43AgainstRackTest() { fwgen::writeKx43Firmware(directory.path(), "P2.06", 3); }

    rack::Kx43Board& board() { return dynamic_cast<rack::Kx43Board&>(*rack().processor()); }
    void useBoard(const std::string& kind, const nlohmann::json& settings, bool inBootLoader = false) {
        useRack({{"timing", {{"resetMs", 3000}}},
                 {"processor",
                  {{"kind", kind}, {"version", "P1.41"}, {"settings", settings},
                   {"bootLoader", inBootLoader}}}});
    }

    int update(int variant, const std::vector<std::string>& names = fwgen::kx43FirmwareFiles()) {
        const std::string list = fwgen::kx43FileList(names);
        return UpdateKX43(kKx43RackTimeout, recordMessage, recordProgress, recordStatus, countInput,
                          directory.path().c_str(), "P2.06", variant, static_cast<int>(names.size()),
                          list.c_str(), kRestartWait);
    }
    int establish(int variant) {
        return EstabKX43(kKx43RackTimeout, recordMessage, recordProgress, recordStatus, countInput,
                         kRestartWait, variant);
    }

    std::string pcFile(const std::string& name) const { return readFile(directory.path() / name); }
    std::string flashFile(const std::string& name) {
        const std::string* file = board().flashFiles().find(name);
        return file ? *file : "<missing>";
    }
    std::string version() {
        char text[32] = {};
        int32_t length = 0;
        return CheckVersion(text, &length) == 0 ? text : "<no answer>";
    }
    size_t receivedSoFar() { return rack().received().size(); }
    bool receivedSince(size_t from, const std::string& line) {
        const auto& all = rack().received();
        return std::find(all.begin() + static_cast<std::ptrdiff_t>(from), all.end(), line) != all.end();
    }

    TempDir directory;
};

TEST_F(Kx43AgainstRackTest, OlderGenerationGetsEveryFileAndKeepsItsSettings) {
    useBoard("KX43", kOlderSettings);
    ASSERT_EQ(open(), 0);
    const rack::Kx43Settings before = board().settings();

    ASSERT_EQ(update(1), 0) << lastMessage();
    EXPECT_TRUE(board().inBootLoader());
    for (const auto& name : fwgen::kx43FirmwareFiles()) {
        if (name != "kx43ini.cnf") {
            EXPECT_EQ(flashFile(name), pcFile(name)) << name;
        }
    }
    // The initialisation file carries the connection in use: 127.0.0.1 in bytes 2-5.
    const std::string ini = pcFile("kx43ini.cnf");
    EXPECT_EQ(flashFile("kx43ini.cnf"), ini.substr(0, 2) + std::string("\x7F\0\0\x01", 4) + ini.substr(6));

    ASSERT_EQ(establish(1), 0) << lastMessage();
    EXPECT_FALSE(board().inBootLoader());
    EXPECT_TRUE(board().activated());
    EXPECT_EQ(version(), "P2.06");
    rack::Kx43Settings expected = before;
    expected.tcpIpAddress = "127.0.0.1";  // from the initialisation file, as connected
    EXPECT_EQ(board().settings(), expected);
    EXPECT_TRUE(reports.messages.empty()) << lastMessage();
    EXPECT_EQ(inputCalls, 0);
}

TEST_F(Kx43AgainstRackTest, RefusedFlashFileEndsWithItsTextAndARepeatFindsTheBootLoader) {
    useBoard("KX43B", kOlderSettings);
    rack().faults().add({"^PRC9,2,kx43lite\\.exe$", 1, rack::FaultAction::Question});
    ASSERT_EQ(open(), 0);
    const rack::Kx43Settings before = board().settings();
    EXPECT_EQ(update(2), -3);
    const std::string saved =
        (quorlink::processor::settingsFolder() / "KX43-0815.settings").string();
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{
                  "Error opening file on KX-Flash!\nPlease switch your Ventrix off and on "
                  "again!\nKX should be in bootloader then, repeat download!",
                  "KX is left in its boot loader, its settings are saved in " + saved +
                      ". Run the same update again."}));
    EXPECT_EQ(flashFile("kx43.exe"), pcFile("kx43.exe"));
    EXPECT_EQ(flashFile("kx43lite.exe"), "<missing>");

    rack().reset();  // the operator switches the rack off and on: the boot loader comes up
    EXPECT_TRUE(board().inBootLoader());
    // The repeat runs in another process (a second quorvel-cli): only the file has the settings.
    quorlink::processor::settingsStore().fill("");
    const size_t repeatStart = receivedSoFar();
    reports.clear();
    ASSERT_EQ(update(2), 0) << lastMessage();
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"KX is in its boot loader: the settings saved in " +
                                                        saved + " are written back after the update."}));
    EXPECT_FALSE(receivedSince(repeatStart, "SNO?"));
    EXPECT_FALSE(receivedSince(repeatStart, "PRC9,1"));
    EXPECT_EQ(flashFile("kx43lite.exe"), pcFile("kx43lite.exe"));

    ASSERT_EQ(establish(2), 0) << lastMessage();
    rack::Kx43Settings expected = before;
    expected.tcpIpAddress = "127.0.0.1";
    EXPECT_EQ(board().settings(), expected);  // what the first attempt saved

    // Once written back, the file does not restore them again: a processor found in its boot
    // loader later, with nothing read in this process, is announced to come back with defaults.
    CloseConnection();
    useBoard("KX43B", kOlderSettings, true);
    ASSERT_EQ(open(), 0);
    quorlink::processor::settingsStore().fill("");
    reports.clear();
    ASSERT_EQ(update(2), 0) << lastMessage();
    EXPECT_EQ(lastMessage(),
              "KX is in its boot loader and no saved settings were found: the processor will come "
              "back with default settings!");
}

// A missing local file or a malformed list stops before any traffic; the loader file alone is
// copied.
TEST_F(Kx43AgainstRackTest, FileListsAndMissingFiles) {
    useBoard("KX43A", kOlderSettings);
    ASSERT_EQ(open(), 0);
    const size_t before = receivedSoFar();
    EXPECT_EQ(UpdateKX43(kKx43RackTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                         directory.path().c_str(), "", 1, 2, "#kx43.exe", kRestartWait),
              -5);
    EXPECT_EQ(lastMessage(), "Error in file list for KX download!");
    std::filesystem::remove(directory.path() / "services");
    EXPECT_EQ(update(1), -3);
    EXPECT_EQ(lastMessage(), "Not all files found in current directory! ");
    EXPECT_EQ(receivedSoFar(), before);

    ASSERT_EQ(update(1, {fwgen::kKx43LoaderFile}), 0) << lastMessage();
    EXPECT_EQ(flashFile(fwgen::kKx43LoaderFile), pcFile(fwgen::kKx43LoaderFile));
    EXPECT_EQ(reports.statuses.back(), std::make_pair(10, std::string("Transferring kx43load.exe...")));
}

// Over a serial line the line in use comes with the initialisation file, and the settings of
// the other interfaces, the TCP address among them, are written back.
TEST_F(Kx43AgainstRackTest, OverASerialLineTheOtherInterfacesAreWrittenBack) {
    useBoard("KX43", kOlderSettings);
    ASSERT_EQ(OpenConnection(1, 38400, "e", 8, 1, kKx43RackTimeout, recordMessage, -1, 0), 0);
    ASSERT_EQ(update(1), 0) << lastMessage();
    ASSERT_EQ(establish(1), 0) << lastMessage();
    const std::string ini = pcFile("kx43ini.cnf");
    EXPECT_EQ(flashFile("kx43ini.cnf").substr(14), ini.substr(14));
    EXPECT_EQ(board().settings().rs232, (rack::SerialLine{38400, 2, 1}));
    EXPECT_EQ(board().settings().rs485, (rack::SerialLine{38400, 0, 1}));
    EXPECT_EQ(board().settings().tcpIpAddress, "10.1.2.3");
    EXPECT_EQ(board().settings().gpibAddress, 12);
    EXPECT_EQ(version(), "P2.06");
}

}  // namespace
