// The panel update step by step against a scripted port: exact commands, answers and waits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "link/channel/channel.h"
#include "link/images/check_tables.h"
#include "link/images/temp_images.h"
#include "link/panel/sector_programmer.h"
#include "link/quorlink.h"
#include "link_fixture.h"
#include "panel_files.h"
#include "tools/fwgen/panel_firmware.h"

using namespace testing_support;
using panel_testing::flatImage;
using panel_testing::upperHex;

namespace {

const char* kMismatch = "Your DV33A flashsize does not match \nwith the selected firmware.";

class UpdateDVScript : public ScriptedLinkTest {
  protected:
    void SetUp() override {
        files = fwgen::writePanelFirmware(dir.path().string());
        ScriptedLinkTest::SetUp();
    }
    void TearDown() override {
        ScriptedLinkTest::TearDown();
        EXPECT_EQ(quorlink::TempImageCount(), 0);
    }
    int update(const std::string& path, const char* version, int download, int loaderI) {
        return UpdateDV(6000, recordMessage, recordProgress, recordStatus, path.c_str(), version,
                        download, loaderI);
    }
    void scriptLoaderI(const std::string& identity) {
        peer->line("PRC2,1\r\n", "0").line("BDR19200,0,1,3\r\n", "0").line("DID?\r\n", identity);
    }
    void scriptLoaderII(fwgen::PanelLayout layout) {
        const bool large = layout == fwgen::PanelLayout::Large;
        const auto image =
            flatImage(fwgen::panelLoaderII(layout), 64 * 128, large ? 0xB8000 : 0x78000);
        peer->line("PRC2,2,A00000000\r\n", "0");
        for (size_t i = 0; i < 64; ++i)
            peer->line("PRC2,2,D" + upperHex(image, i * 128, 128) + "\r\n", "0");
        peer->line("PRC2,2,S00000000\r\n", "0");
    }
    void scriptStart() {
        peer->line("PRC2,2,S00010000\r\n", "0").line("PRC2,5\r\n", "0").expect("DCL\r\n");
    }

    panel_testing::ScratchDir dir;
    fwgen::PanelFirmwareSet files;
};

// Refused before the loader II: the flash size (nothing written after "DID?"), loader I on the
// small flash, the switch to loader I and its baud rate, and the missing loader-II file.
TEST_F(UpdateDVScript, RefusalsBeforeTheLoaderII) {
    scriptLoaderI("QTX,DV33A,P2.13,1.00,0012345");
    EXPECT_EQ(update(files.largeApplication, "4.10", 1, 0), -2);
    EXPECT_EQ(lastMessage(), kMismatch);
    EXPECT_EQ(protocolWaits(), std::vector<int>{1000});

    scriptLoaderI("QTX,DV33A,P2.13,1.00,0012345");
    EXPECT_EQ(update(files.smallApplication, "2.13", 1, 1), -13);
    EXPECT_EQ(lastMessage(),
              "Function not available for this flash size! \nPlease restart your VTX-system "
              "manually!");

    peer->line("PRC2,1\r\n", "?");
    EXPECT_EQ(update(files.largeApplication, "4.10", 1, 0), -2);
    EXPECT_EQ(lastMessage(), "Error switching DV33 to LoaderI!");

    peer->line("PRC2,1\r\n", "0").line("BDR19200,0,1,3\r\n", "?");
    EXPECT_EQ(update(files.largeApplication, "4.10", 1, 0), -2);
    EXPECT_EQ(lastMessage(), "Error switching DV33-Port to 19200 Baud!");

    peer->line("PRC2,1\r\n", "0").expect("BDR19200,0,1,3\r\n");
    EXPECT_EQ(update(files.largeApplication, "4.10", 1, 0), -1);
    EXPECT_EQ(lastMessage(), "Port Timeout!");

    std::filesystem::remove(dir.file("DV43A410.LD2"));
    EXPECT_EQ(update(files.largeApplication, "4.10", 1, 0), -3);
    EXPECT_EQ(lastMessage(), "DV33-Loader not found!");
}

TEST_F(UpdateDVScript, SilentLoaderIIOnTheLargeFlashPointsAtTheLoaderIUpdate) {
    scriptLoaderI("QTX,DV43A,P3.50,1.00,0012345");
    const auto image =
        flatImage(fwgen::panelLoaderII(fwgen::PanelLayout::Large), 64 * 128, 0xB8000);
    peer->line("PRC2,2,A00000000\r\n", "?").line("PRC2,2,A00000000\r\n", "0");  // sent twice
    for (size_t i = 0; i < 64; ++i)
        peer->line("PRC2,2,D" + upperHex(image, i * 128, 128) + "\r\n", "0");
    peer->expect("PRC2,2,S00000000\r\n");
    EXPECT_EQ(update(files.largeApplication, "4.10", 1, 0), -1);
    EXPECT_EQ(
        lastMessage(),
        "Port Timeout!\nIf you have an DVxx firmware version <P4.00\nand you'll try to update "
        "to a version >=P4.00\nyou have to perform a loader1 update first!");
    EXPECT_EQ(reports.statuses.front(), std::make_pair(0, std::string("Transfer Loader2...")));
    ASSERT_EQ(reports.progress.size(), 64u);
    EXPECT_EQ(reports.progress.front(), 0);
    EXPECT_EQ(reports.progress[32], 50);
    EXPECT_EQ(reports.progress.back(), 98);
}

TEST_F(UpdateDVScript, SmallLayoutGoesOnAfterARefusedLoaderIIAddress) {
    scriptLoaderI("QTX,DV33A,P2.13,1.00,0012345");
    const auto image =
        flatImage(fwgen::panelLoaderII(fwgen::PanelLayout::Small), 64 * 128, 0x78000);
    peer->line("PRC2,2,A00000000\r\n", "?");
    peer->line("PRC2,2,D" + upperHex(image, 0, 128) + "\r\n", "?");
    EXPECT_EQ(update(dir.file("DV33A213.S00"), "2.13", 1, 0), -1);
    ASSERT_GE(reports.messages.size(), 2u);
    EXPECT_EQ(reports.messages[0].second, "Error adressing DV-Loader2!");
    EXPECT_EQ(reports.messages[1].second, "Error uploading DV Loader2 Data!");
}

// A new loader I goes to sectors 1021-1023 only, after the loader-I area was opened.
TEST_F(UpdateDVScript, LoaderIUpdateProgramsSectors03FDTo03FF) {
    scriptLoaderI("QTX,DV43A,P4.10,1.00,0012345");
    scriptLoaderII(fwgen::PanelLayout::Large);
    peer->expect("PRC2,2,L1\r\n", std::string("0\0", 2));
    const auto image = flatImage(fwgen::panelLoaderI(), 1024 * 512);
    for (int sector = 1021; sector <= 1023; ++sector) {
        char head[8];
        std::snprintf(head, sizeof head, "%04X", sector);
        const size_t at = size_t(sector) * 512;
        uint8_t sum = 0;
        for (size_t i = at; i < at + 512; ++i) sum = uint8_t(sum + image[i]);
        peer->line(std::string("PRC2,2,E") + head + upperHex(image, at, 128) + "\r\n", "0")
            .line(std::string("PRC2,2,F") + head + upperHex(image, at + 128, 128) + "\r\n", "0")
            .line(std::string("PRC2,2,G") + head + upperHex(image, at + 256, 128) + "\r\n", "0")
            .expect(std::string("PRC2,2,B") + head + upperHex(image, at + 384, 128) + "\r\n",
                    std::string{char(sum), '0'});
    }
    peer->line("PRC2,2,C\r\n", "0");
    scriptStart();
    EXPECT_EQ(update(files.loaderI, "3.00", 1, 1), 0);
    std::vector<int> expected{1000, 200, 500, 1000};
    expected.insert(expected.end(), 10, 1000);
    EXPECT_EQ(protocolWaits(), expected);
    EXPECT_EQ(reports.statuses.back(), std::make_pair(2, std::string("Starting application...")));
    const std::vector<int> sectorsThenStart{0, 33, 66, 100, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    ASSERT_GE(reports.progress.size(), sectorsThenStart.size());
    EXPECT_TRUE(std::equal(sectorsThenStart.rbegin(), sectorsThenStart.rend(), reports.progress.rbegin()));
}

TEST_F(UpdateDVScript, ClosedLoaderIAreaAndAnApplicationThatDoesNotStart) {
    scriptLoaderI("QTX,DV43A,P4.10,1.00,0012345");
    scriptLoaderII(fwgen::PanelLayout::Large);
    peer->expect("PRC2,2,L1\r\n", std::string("?\0", 2));
    EXPECT_EQ(update(files.loaderI, "3.00", 1, 1), -2);
    EXPECT_EQ(lastMessage(),
              "Error loader1 flash block enable! \nMaybe you are using an old loader2 version!");

    scriptLoaderI("QTX,DV43A,P4.10,1.00,0012345");
    scriptLoaderII(fwgen::PanelLayout::Large);
    peer->line("PRC2,2,C\r\n", "0").line("PRC2,2,S00010000\r\n", "?");
    EXPECT_EQ(update(files.largeApplication, "4.10", 0, 0), -5);
    EXPECT_EQ(lastMessage(), "Error starting DV33-Applikation!");
}

// Activate mode: no flash work, the application is started and activated; a refused activation
// is reported.
TEST_F(UpdateDVScript, ActivateStartsTheApplicationAndEstablishesIt) {
    scriptLoaderI("QTX,DV43A,P4.10,1.00,0012345");
    scriptLoaderII(fwgen::PanelLayout::Large);
    peer->line("PRC2,2,C\r\n", "whatever");
    scriptStart();
    EXPECT_EQ(update(files.largeApplication, "4.10", 0, 0), 0);

    peer->expect(std::string("\x12\r\n")).expect("DCL\r\n").expectActivate().line("SRB1\r\n", "0");
    peer->line("PRC2,4\r\n", "0");
    clock.clearWaits();
    EXPECT_EQ(EstabDV(6000, recordMessage), 0);
    EXPECT_EQ(reports.messages.back(),
              std::make_pair(1, std::string("DV Firmware-Update complete!")));
    const auto waits = protocolWaits();
    ASSERT_GE(waits.size(), 2u);
    EXPECT_EQ(std::vector<int>(waits.end() - 2, waits.end()), (std::vector<int>{2000, 1000}));

    peer->expect(std::string("\x12\r\n")).expect("DCL\r\n").expectActivate().line("SRB1\r\n", "0");
    peer->line("PRC2,4\r\n", "?");
    EXPECT_EQ(EstabDV(6000, recordMessage), -1);
    EXPECT_EQ(lastMessage(), "Error activating DV33-Applikation!");
}

// One sector on its own: pieces, the empty-piece rule, the byte-sum check and its one repetition.
class SectorScript : public UpdateDVScript {
  protected:
    void SetUp() override {
        UpdateDVScript::SetUp();
        // The sector routine reports through the callback its export stored.
        quorlink::channel().setMessageCallback(recordMessage);
        image = quorlink::CreateTempImage();
        ASSERT_NE(image, nullptr);
        bytes.assign(2 * 512, 0);
        for (size_t i = 512 + 128; i < 1024; ++i) bytes[i] = uint8_t(i * 7 + 1);  // piece 4 empty
        std::fwrite(bytes.data(), 1, bytes.size(), image);
        std::fflush(image);
        sum = 0;
        for (size_t i = 512; i < 1024; ++i) sum = uint8_t(sum + bytes[i]);
        quorlink::checkTables().a[1] = sum;
    }
    void TearDown() override {
        quorlink::DeleteTempImages();
        UpdateDVScript::TearDown();
    }
    void scriptSector(bool skip, char answeredSum) {
        peer->line(skip ? "PRC2,2,E0001\r\n" : "PRC2,2,E0001" + std::string(256, '0') + "\r\n", "0")
            .line("PRC2,2,F0001" + upperHex(bytes, 640, 128) + "\r\n", "?")
            .line("PRC2,2,G0001" + upperHex(bytes, 768, 128) + "\r\n", "0")
            .expect("PRC2,2,B0001" + upperHex(bytes, 896, 128) + "\r\n",
                    std::string{answeredSum, '0'});
    }
    int program(bool skip) {
        quorlink::panel::SectorProgrammer programmer(quorlink::channel(), image,
                                                     quorlink::panel::FlashLayout::Large, skip);
        return programmer.program(1);
    }

    std::FILE* image = nullptr;
    std::vector<uint8_t> bytes;
    uint8_t sum = 0;
};

// The byte sums the panel answers in turn (an offset from the right one; 0 is right); the
// refused middle piece is reported, the sector still counts by its sum.
TEST_F(SectorScript, PiecesTheEmptyPieceRuleAndTheSumCheckWithItsOneRepetition) {
    const struct {
        const char* what;
        bool skip;
        std::vector<int> sumOffsets;
        int result;
        const char* message;
    } cases[] = {
        {"empty piece goes without data", true, {0}, 0, "Error programming DV33-Flash!"},
        {"empty piece keeps its zeros", false, {0}, 0, "Error programming DV33-Flash!"},
        {"a wrong sum is repeated once", true, {1, 0}, 0, "Error programming DV33-Flash!"},
        {"a second wrong sum ends", true, {1, 0x40}, -1, "Checksum-Error programming DV33-Flashblock!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const int offset : c.sumOffsets) scriptSector(c.skip, char(sum + offset));
        EXPECT_EQ(program(c.skip), c.result);
        EXPECT_EQ(lastMessage(), c.message);
    }
}

TEST_F(SectorScript, SilentPanelIsAPortTimeout) {
    peer->line("PRC2,2,E0001\r\n", "0").expect("PRC2,2,F0001" + upperHex(bytes, 640, 128) + "\r\n");
    EXPECT_EQ(program(true), -1);
    EXPECT_EQ(lastMessage(), "Port Timeout!");
}

}  // namespace
