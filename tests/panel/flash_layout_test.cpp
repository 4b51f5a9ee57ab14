// Which flash layout an update uses, and where its loader II is found.
#include "link/panel/flash_layout.h"

#include <gtest/gtest.h>

#include "link/panel/loader2_file.h"
#include "panel_files.h"

using namespace quorlink::panel;

namespace {

// The identity's digit after its first "P" (not followed by a comma) and the version decide the
// layout; an unidentified panel follows the version; a version beginning with "30" keeps empty
// pieces; a mismatch and loader I on the small flash are refused.
TEST(FlashLayout, IdentityDigitAndVersionDecide) {
    const struct {
        const char* identity;
        const char* version;
        bool loaderI;
        int result;
        FlashLayout layout;
        bool skipEmptyPieces;
    } cases[] = {
        {"QTX,DV43A,P4.10,1.00,1", "4.10", false, 0, FlashLayout::Large, true},
        {"QTX,DV33A,P2.13,1.00,1", "2.13", false, 0, FlashLayout::Small, false},
        {"QTX,DV33A,P,P2.13", "2.13", false, 0, FlashLayout::Small, false},
        {"QTX,DV43A,P4.10", "30", false, 0, FlashLayout::Large, false},
        {"QTX,DV43A,P4.10", "3000", false, 0, FlashLayout::Large, false},
        {"?", "3.00", false, 0, FlashLayout::Large, true},
        {"QTX,DV43A,P0.00", "2.13", false, 0, FlashLayout::Small, false},
        {"QTX,DV43A,P0.00", "4.10", false, 0, FlashLayout::Large, true},
        {"QTX,DV43A,P4.10", "2.13", false, -2, {}, {}},
        {"QTX,DV33A,P2.13", "3.00", false, -2, {}, {}},
        {"QTX,DV33A,P1.05", "1.00", true, -13, {}, {}},
        {"?", "2.00", true, -13, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.identity) + " " + c.version);
        const auto chosen = chooseFlashLayout(c.identity, c.version, c.loaderI);
        EXPECT_EQ(chosen.result, c.result);
        if (c.result != 0) continue;
        EXPECT_EQ(chosen.layout, c.layout);
        EXPECT_EQ(chosen.skipEmptyPieces, c.skipEmptyPieces);
    }
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
