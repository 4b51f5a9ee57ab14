// The KX33 exports against the simulated board: the board's flash and mode confirm the effect.
#include <gtest/gtest.h>

#include <fstream>

#include "link/quorlink.h"
#include "linkpad/linkpad.h"
#include "rack/processor/kx33_board.h"
#include "sim_rack.h"
#include "temp_dir.h"
#include "tools/fwgen/processor_firmware.h"

using namespace testing_support;

namespace {

constexpr int kKx33RackTimeout = 3000;
constexpr int kKx33RackBlockSize = 512;

class Kx33AgainstRackTest : public SimRackTest {
protected:
    Kx33AgainstRackTest() {
        useRack({{"processor", {{"kind", "KX33"}, {"version", "P1.10"}, {"restartMs", 6000}}}});
        image = fwgen::kx33Image("P2.06", 1024 * kKx33RackBlockSize, 7);
        std::ofstream(imagePath, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }

    rack::Kx33Board& board() { return dynamic_cast<rack::Kx33Board&>(*rack().processor()); }

    int update(int first, int count) {
        return UpdateKX33(kKx33RackTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                          imagePath.c_str(), "000", first, count, kKx33RackBlockSize, 0, 0, 0);
    }

    std::string flashBlocks(int first, int count) {
        return board().flash().substr(static_cast<size_t>(first) * kKx33RackBlockSize,
                                      static_cast<size_t>(count) * kKx33RackBlockSize);
    }
    std::string imageBlocks(int first, int count) const {
        return std::string(reinterpret_cast<const char*>(image.data()) + first * kKx33RackBlockSize,
                           static_cast<size_t>(count) * kKx33RackBlockSize);
    }

    TempDir directory;
    std::string imagePath = directory.file("kx33.bin");
    std::vector<uint8_t> image;
};

// The whole image updated (its flash and the upload are compared in the KX33 sweeps' clean
// runs), then the restart brings up the new version.
TEST_F(Kx33AgainstRackTest, UpdateAndRestartBringTheNewVersion) {
    ASSERT_EQ(open(), 0);
    ASSERT_EQ(update(0, 1024), 0) << lastMessage();
    EXPECT_EQ(flashBlocks(0, 1024), imageBlocks(0, 1024));
    ASSERT_EQ(EstabKX33(kKx33RackTimeout, recordMessage, recordProgress, recordStatus, nullptr, 4, 4,
                        "VerKernel", "VerAppl", "VerLilo"),
              0);
    char version[32] = {};
    int32_t length = 0;
    ASSERT_EQ(CheckVersion(version, &length), 0);
    EXPECT_STREQ(version, "P2.06");
}

// A failure after the boot loader started ends with its text and the board back in measurement
// mode, at the time-out it was given.
TEST_F(Kx33AgainstRackTest, SpoiltFlashChecksumLeavesTheBoardInMeasurementMode) {
    rack().faults().add({"^PRC\\?308$", 1, rack::FaultAction::Garble});
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(update(0, 4), -43);
    EXPECT_EQ(lastMessage(), "Checksum error in FLASH memory!");
    EXPECT_FALSE(board().inBootLoader());
    EXPECT_EQ(QTX_GetCurrTimeout(), kKx33RackTimeout);
}

}  // namespace
