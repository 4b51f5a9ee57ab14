// The bootstrap of a panel controller against the simulated rack: the flash afterwards, the
// controller's stages, the pass-through and every failure with its text.
#include <gtest/gtest.h>

#include <filesystem>

#include "link/panel/strapper_report.h"
#include "link/quorlink.h"
#include "panel_files.h"
#include "rack/panel/dv_panel.h"
#include "sim_rack.h"
#include "tools/fwgen/panel_firmware.h"

using namespace testing_support;
using panel_testing::flatImage;
using rack::panel::C167Bootstrap;
using rack::panel::DvPanel;

namespace {

const char* kConfig =
    "REM bootstrap of a DV43A\r\n"
    "COM = 19200, 8, N, 1\r\n"
    "SERADR = 0x7F000\r\n"
    "REVADR = 0x7F020\r\n"
    "LOGFILE = strapper.log\r\n";

class BootDVRack : public SimRackTest {
  protected:
    void SetUp() override { files = fwgen::writePanelFirmware(dir.path().string()); }

    DvPanel& start(const nlohmann::json& panel,
                   const nlohmann::json& processor = {{"kind", "KX43"}}) {
        useRack({{"processor", processor}, {"panel", panel}});
        return dynamic_cast<DvPanel&>(*rack().panel());
    }
    int boot(const std::string& config, const char* serial = nullptr,
             const char* revision = nullptr) {
        testing_support::writeFile(dir.file("STRAPPER.CFG"), config);
        std::string serialText = serial ? serial : "";
        std::string revisionText = revision ? revision : "";
        return BootDV(1, dir.file("STRAPPER.CFG").c_str(), files.largeApplication.c_str(),
                      files.loaderI.c_str(), serial ? serialText.data() : nullptr,
                      revision ? revisionText.data() : nullptr, recordProgress, recordStatus);
    }
    std::string lastStatus() const {
        return reports.statuses.empty() ? std::string() : reports.statuses.back().second;
    }
    // What the flash should hold after a bootstrap of the application and loader I.
    std::vector<uint8_t> expectedImage(const std::string& serial, const std::string& revision) {
        auto segments = fwgen::panelApplication("P4.10", 0x60000);
        for (auto& segment : fwgen::panelLoaderI()) segments.push_back(segment);
        segments.push_back({0x7F000, std::vector<uint8_t>(serial.begin(), serial.end())});
        segments.push_back({0x7F020, std::vector<uint8_t>(revision.begin(), revision.end())});
        return flatImage(segments, 0x80000);
    }

    panel_testing::ScratchDir dir;
    fwgen::PanelFirmwareSet files;
};

TEST_F(BootDVRack, DirectBootstrapProgramsTheWholeImage) {
    auto& panel = start({{"kind", "DV43A"}, {"bootstrap", true}, {"version", ""}});
    ASSERT_EQ(boot(kConfig, "SN-4711", "B2"), 0) << lastStatus();
    const auto image = expectedImage("SN-4711", "B2");
    const auto& flash = panel.flash().bytes();
    for (size_t at = 0; at < image.size(); at += 512) {
        const bool free = at >= 0xEE00 && at <= 0xFFFF;
        const auto begin = flash.begin() + std::ptrdiff_t(at);
        if (free)
            EXPECT_TRUE(std::all_of(begin, begin + 512, [](uint8_t b) { return b == 0xFF; })) << at;
        else
            ASSERT_TRUE(std::equal(begin, begin + 512, image.begin() + std::ptrdiff_t(at))) << at;
    }
    EXPECT_EQ(panel.flash().applicationVersion(), "P4.10");
    EXPECT_EQ(panel.bootstrap().closedRuns(), 1);  // closing bytes, then the break restarted it
    EXPECT_EQ(panel.bootstrap().stage(), C167Bootstrap::Stage::WaitZero);
    EXPECT_EQ(panel.bootstrap().blockSize(), 512u);  // the default without "SIZE"
    EXPECT_EQ(lastStatus(), "fertig!");
    EXPECT_EQ(reports.progress.back(), 100);
    EXPECT_EQ(std::filesystem::file_size(dir.file("Strapper.dat")), 0x80000u);
    const auto log = testing_support::readFile(dir.file("strapper.log"));
    EXPECT_NE(log.find("Strapper-Parameter: SerialNumber = SN-4711\n"), std::string::npos);
    EXPECT_NE(log.find("Set SerialNumber = SN-4711 at address = 7f000 ...\n"), std::string::npos);
    EXPECT_NE(log.find("Open port Port=1, Baudrate=19200, Parity=n, BitsPerChar=8, StopBits=1 ..."),
              std::string::npos);
    EXPECT_NE(log.find("program " + dir.file("Strapper.dat") + " ...\n"), std::string::npos);
    EXPECT_TRUE(log.ends_with("finish!\n"));
}

TEST_F(BootDVRack, PassThroughOfTheKX43) {
    auto& panel = start({{"kind", "DV43A"}, {"bootstrap", true}, {"passThrough", true}});
    ASSERT_EQ(open(), 0);
    ASSERT_EQ(boot(std::string(kConfig) + "TRANSF = 1\r\n", "SN-1", "A"), 0) << lastStatus();
    EXPECT_EQ(panel.passThroughBaud(), 19200);
    EXPECT_EQ(panel.bootstrap().closedRuns(), 1);
    EXPECT_EQ(panel.flash().applicationVersion(), "P4.10");
    const auto log = testing_support::readFile(dir.file("strapper.log"));
    EXPECT_NE(log.find("Answer is QTX,KX43,0,P1.41 !\n"), std::string::npos);
    EXPECT_NE(log.find("TRANSF in KX43 starten (SYS TRANSF 19200 n) ...\n"), std::string::npos);
}

TEST_F(BootDVRack, ProcessorOtherThanKX43) {
    start({{"kind", "DV43A"}, {"bootstrap", true}, {"passThrough", true}},
          {{"kind", "KX33"}, {"identity", "QTX,KX33,0,P1.00"}});
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(boot(std::string(kConfig) + "TRANSF = 1\r\n"), -105);
    EXPECT_EQ(lastStatus(), "KX43 meldet sich nicht.");
    EXPECT_NE(
        testing_support::readFile(dir.file("strapper.log")).find("ERROR: KX43 meldet sich nicht.\n"),
        std::string::npos);
}

// A serial number argument is cut in place; without a configuration the defaults cannot open the
// port.
TEST_F(BootDVRack, SerialNumberCutAndNoConfiguration) {
    start({{"kind", "DV43A"}, {"bootstrap", true}});
    testing_support::writeFile(dir.file("STRAPPER.CFG"), kConfig);
    std::string serial = "0123456789012345678901234567890123456789";
    ASSERT_EQ(BootDV(1, dir.file("STRAPPER.CFG").c_str(), nullptr, nullptr, serial.data(), nullptr,
                     recordProgress, recordStatus),
              0);
    EXPECT_STREQ(serial.c_str(), "0123456789012345678901234567890");

    EXPECT_EQ(BootDV(1, dir.file("missing.cfg").c_str(), nullptr, nullptr, nullptr, nullptr,
                     recordProgress, recordStatus),
              -3);
    EXPECT_EQ(lastStatus(), "Schnittstellen-Fehler.");
}

// Oversized bootstrap programs are refused; an odd program length is padded to the word count
// announced, so the blocks stay in step.
TEST_F(BootDVRack, ProgramLengths) {
    auto& panel = start({{"kind", "DV43A"}, {"bootstrap", true}});
    auto longLoader = fwgen::bootstrapFirstStage();
    longLoader[0].data.resize(513, 0x11);
    fwgen::writeFileAtomically(dir.file("Load.h67"), fwgen::toIntelHex(longLoader));
    EXPECT_EQ(boot(kConfig), -103);
    EXPECT_EQ(panel.bootstrap().writtenBlocks().size(), 0u);

    fwgen::writeFileAtomically(dir.file("Load.h67"),
                               fwgen::toIntelHex(fwgen::bootstrapFirstStage()));
    fwgen::writeFileAtomically(dir.file("Prog.h67"),
                               fwgen::toIntelHex(fwgen::bootstrapProgram(511)));
    EXPECT_EQ(boot(kConfig), -103);
    EXPECT_EQ(lastStatus(), "File kann nicht geoeffnet werden.");

    fwgen::writeFileAtomically(dir.file("Prog.h67"),
                               fwgen::toIntelHex(fwgen::bootstrapProgram(509)));
    ASSERT_EQ(boot(kConfig), 0) << lastStatus();
    EXPECT_EQ(panel.flash().applicationVersion(), "P4.10");
}

// Every failure ends with its code and status text; the blocks written before it, the
// controller's restarts and closing runs, and the image on disk show how far it went.
struct BootFailure {
    const char* name;
    nlohmann::json panel;
    std::string config;
    const char* serial;
    int result;
    std::vector<int> writtenBlocks;
    int restarts;    // -1: not checked
    int closedRuns;  // -1: not checked
    bool imageOnDisk;
};

class BootDVFailure : public BootDVRack, public ::testing::WithParamInterface<BootFailure> {};

TEST_P(BootDVFailure, EndsWithItsCodeAndText) {
    const BootFailure& c = GetParam();
    auto& panel = start(c.panel);
    writeFile(dir.file("bad.hex"), ":10000000ZZ\r\n:00000001FF\r\n");
    fwgen::writeFileAtomically(dir.file("far.hex"),
                               fwgen::toIntelHex({{0x7F000000, std::vector<uint8_t>(16, 0xAB)}}));
    EXPECT_EQ(boot(c.config, c.serial), c.result);
    EXPECT_EQ(lastStatus(), quorlink::panel::strapperErrorText(c.result));
    EXPECT_EQ(panel.bootstrap().writtenBlocks(), c.writtenBlocks);
    if (c.restarts >= 0) {
        EXPECT_EQ(panel.bootstrap().restarts(), c.restarts);  // a break follows every run
    }
    if (c.closedRuns >= 0) {
        EXPECT_EQ(panel.bootstrap().closedRuns(), c.closedRuns);
    }
    if (c.imageOnDisk) {  // the image stays on disk, never larger than the flash
        EXPECT_EQ(std::filesystem::file_size(dir.file("Strapper.dat")), 0x80000u);
    }
}

const nlohmann::json kBootstrapPanel = {{"kind", "DV43A"}, {"bootstrap", true}};
const std::string kConfigText = std::string(kConfig);

INSTANTIATE_TEST_SUITE_P(
    Cases, BootDVFailure,
    ::testing::Values(
        BootFailure{"PanelNotInBootstrapMode", {{"kind", "DV43A"}}, kConfig, nullptr, -13, {}, -1, -1, false},
        BootFailure{"AnotherIdentificationByte",
                    {{"kind", "DV43A"}, {"bootstrap", true}, {"bootstrapIdentification", 0xA5}}, kConfig,
                    nullptr, -13, {}, 1, -1, false},
        BootFailure{"RefusedBlock", {{"kind", "DV43A"}, {"bootstrap", true}, {"refusedBlocks", {3}}}, kConfig,
                    nullptr, -11, {0, 1, 2}, -1, 1, true},
        BootFailure{"FifthHexFile", kBootstrapPanel, kConfigText + "HEXFILE = a.hex, b.hex, c.hex\r\n", nullptr, -107,
                    {}, -1, -1, false},
        BootFailure{"HexDataFarOutsideTheImage", kBootstrapPanel, kConfigText + "HEXFILE = far.hex\r\n", nullptr, -103,
                    {}, -1, -1, true},
        BootFailure{"UnreadableHexFile", kBootstrapPanel, kConfigText + "HEXFILE = bad.hex\r\n", nullptr, -103, {}, -1,
                    -1, false},
        BootFailure{"SerialNumberOutsideTheImage", kBootstrapPanel, "COM = 19200,8,N,1\r\nSERADR = 0x7FFFE\r\n",
                    "SN-4711", -101, {}, -1, -1, true}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
