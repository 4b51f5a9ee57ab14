// Which flash layout an update uses, and where its loader II is found.
#include "link/panel/flash_layout.h"

#include <gtest/gtest.h>

#include "link/panel/loader2_file.h"
#include "panel_files.h"

using namespace quorlink::panel;

namespace {

TEST(FlashLayout, IdentityDigitAndVersionDecide) {
    const auto large = chooseFlashLayout("QTX,DV43A,P4.10,1.00,1", "4.10", false);
    EXPECT_EQ(large.result, 0);
    EXPECT_EQ(large.layout, FlashLayout::Large);
    EXPECT_TRUE(large.skipEmptyPieces);

    const auto small = chooseFlashLayout("QTX,DV33A,P2.13,1.00,1", "2.13", false);
    EXPECT_EQ(small.result, 0);
    EXPECT_EQ(small.layout, FlashLayout::Small);
    EXPECT_FALSE(small.skipEmptyPieces);
}

TEST(FlashLayout, MismatchesAndLoaderIOnSmallFlashAreRefused) {
    EXPECT_EQ(chooseFlashLayout("QTX,DV43A,P4.10", "2.13", false).result, -2);
    EXPECT_EQ(chooseFlashLayout("QTX,DV33A,P2.13", "3.00", false).result, -2);
    EXPECT_EQ(chooseFlashLayout("QTX,DV33A,P1.05", "1.00", true).result, -13);
    EXPECT_EQ(chooseFlashLayout("?", "2.00", true).result, -13);
}

TEST(FlashLayout, VersionBeginningWith30KeepsEmptyPieces) {
    EXPECT_FALSE(chooseFlashLayout("QTX,DV43A,P4.10", "30", false).skipEmptyPieces);
    EXPECT_FALSE(chooseFlashLayout("QTX,DV43A,P4.10", "3000", false).skipEmptyPieces);
    EXPECT_TRUE(chooseFlashLayout("QTX,DV43A,P4.10", "3.00", false).skipEmptyPieces);
}

TEST(FlashLayout, UnidentifiedPanelFollowsTheVersion) {
    EXPECT_EQ(chooseFlashLayout("?", "3.00", false).layout, FlashLayout::Large);
    EXPECT_EQ(chooseFlashLayout("QTX,DV43A,P0.00", "2.13", false).layout, FlashLayout::Small);
    EXPECT_EQ(chooseFlashLayout("QTX,DV43A,P0.00", "4.10", false).layout, FlashLayout::Large);
}

TEST(FlashLayout, DigitIsTakenAfterTheFirstPNotFollowedByComma) {
    EXPECT_EQ(flashSizeDigit("QTX,DV33A,P,P2.13"), '2');
    EXPECT_EQ(flashSizeDigit("QTX,DV43A,P4.10"), '4');
    EXPECT_EQ(flashSizeDigit("no digit"), '0');
    EXPECT_EQ(flashSizeDigit("ends with P"), '0');
}

TEST(Loader2File, Ld2BeforeLp2AndNothingWhenBothMissing) {
    panel_testing::ScratchDir dir;
    const auto firmware = dir.file("DV43A410.S00");
    EXPECT_FALSE(findLoader2File(firmware));
    testing_support::writeFile(dir.file("DV43A410.LP2"), ":00000001FF\r\n");
    EXPECT_EQ(findLoader2File(firmware), dir.file("DV43A410.LP2"));
    testing_support::writeFile(dir.file("DV43A410.LD2"), ":00000001FF\r\n");
    EXPECT_EQ(findLoader2File(firmware), dir.file("DV43A410.LD2"));
}

TEST(Loader2File, DotInAFolderNameIsNoExtension) {
    panel_testing::ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "v4.10");
    testing_support::writeFile(dir.file("v4.10/DV43A.LD2"), ":00000001FF\r\n");
    EXPECT_EQ(findLoader2File(dir.file("v4.10/DV43A")), dir.file("v4.10/DV43A.LD2"));
}

}  // namespace
