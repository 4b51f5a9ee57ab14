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

constexpr int kTimeout = 3000;
constexpr int kBlockSize = 512;

class Kx33AgainstRackTest : public SimRackTest {
protected:
    Kx33AgainstRackTest() {
        useRack({{"processor", {{"kind", "KX33"}, {"version", "P1.10"}, {"restartMs", 6000}}}});
        image = fwgen::kx33Image("P2.06", 1024 * kBlockSize, 7);
        std::ofstream(imagePath, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }

    rack::Kx33Board& board() { return dynamic_cast<rack::Kx33Board&>(*rack().processor()); }

    int update(int first, int count) {
        return UpdateKX33(kTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                          imagePath.c_str(), "000", first, count, kBlockSize, 0, 0, 0);
    }

    std::string flashBlocks(int first, int count) {
        return board().flash().substr(static_cast<size_t>(first) * kBlockSize,
                                      static_cast<size_t>(count) * kBlockSize);
    }
    std::string imageBlocks(int first, int count) const {
        return std::string(reinterpret_cast<const char*>(image.data()) + first * kBlockSize,
                           static_cast<size_t>(count) * kBlockSize);
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
    ASSERT_EQ(EstabKX33(kTimeout, recordMessage, recordProgress, recordStatus, nullptr, 4, 4,
                        "VerKernel", "VerAppl", "VerLilo"),
              0);
    char version[32] = {};
    int32_t length = 0;
    ASSERT_EQ(CheckVersion(version, &length), 0);
    EXPECT_STREQ(version, "P2.06");
}

// A range inside the image is taken from its offset; a block refused once costs one repetition.
TEST_F(Kx33AgainstRackTest, RangeInsideTheImageWithABlockRefusedOnce) {
    rack().faults().add({"^PRC310,305,", 1, rack::FaultAction::Question});
    ASSERT_EQ(open(), 0);
    ASSERT_EQ(update(300, 40), 0) << lastMessage();
    EXPECT_EQ(std::count_if(rack().received().begin(), rack().received().end(),
                            [](const std::string& l) { return l.starts_with("PRC310,305,"); }),
              2);
    EXPECT_EQ(flashBlocks(300, 40), imageBlocks(300, 40));
}

// A failure after the boot loader started ends with its text and the board back in measurement
// mode, at the time-out it was given.
struct FailureCase {
    const char* name;
    rack::FaultRule fault;  // no pattern: the board misreports its sector line instead
    int blocks;
    int result;
    const char* message;
};

class Kx33RackFailureTest : public Kx33AgainstRackTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(Kx33RackFailureTest, LeavesTheBoardInMeasurementMode) {
    const FailureCase& c = GetParam();
    if (c.fault.pattern.empty()) {
        board().misreportSector(1);
    } else {
        rack().faults().add(c.fault);
    }
    ASSERT_EQ(open(), 0);
    EXPECT_EQ(update(0, c.blocks), c.result);
    EXPECT_EQ(lastMessage(), c.message);
    EXPECT_FALSE(board().inBootLoader());
    EXPECT_EQ(QTX_GetCurrTimeout(), kTimeout);
    if (c.result == -22) {
        EXPECT_NE(flashBlocks(0, 8), imageBlocks(0, 8));  // nothing was burnt
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Kx33RackFailureTest,
    ::testing::Values(
        FailureCase{
            "BlockRefusedTwice",
            {"^PRC310,5,", 0, rack::FaultAction::Question, 0, 2},
            8,
            -22,
            "Checksum Error Transfer Block 5 to RAM memory! \nRestart Ventrix and try again!"},
        FailureCase{"WrongSectorLine",
                    {},
                    600,
                    -41,
                    "Error flashing! Didn't get block number information!"},
        FailureCase{"SpoiltFlashChecksum",
                    {"^PRC\\?308$", 1, rack::FaultAction::Garble},
                    4,
                    -43,
                    "Checksum error in FLASH memory!"}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
