// The simulated panel refuses what a real one refuses, so that a library fault fails a test.
#include <gtest/gtest.h>

#include "rack/panel/dv_panel.h"
#include "rack_fixture.h"

namespace {

class DvPanelSim : public rack_testing::RackTest {
  protected:
    void boot(const nlohmann::json& panel) {
        build({{"processor", {{"kind", "KX43"}}}, {"panel", panel}});
        send("\x12");
    }
    rack::panel::DvPanel& panel() { return dynamic_cast<rack::panel::DvPanel&>(*rack().panel()); }
    void intoLoaderII(char sizeDigit) {
        ASSERT_EQ(answers("PRC2,1"), "0\r\n");
        ASSERT_EQ(answers("PRC2,2,A00000000"), "0\r\n");
        std::string piece = "514C32";  // "QL2"
        piece += sizeDigit == '2' ? "32" : "31";
        piece += std::string(248, '0');
        ASSERT_EQ(answers("PRC2,2,D" + piece), "0\r\n");
    }
};

// A loader II for the other flash does not start; then a sector's pieces must come in order.
TEST_F(DvPanelSim, LoaderIIForTheOtherFlashDoesNotStartAndPiecesComeInOrder) {
    boot({{"kind", "DV33A"}, {"flash", "small"}});
    intoLoaderII('2');
    EXPECT_EQ(answers("PRC2,2,S00000000"), "?\r\n");
    intoLoaderII('1');
    EXPECT_EQ(answers("PRC2,2,S00000000"), "0\r\n");
    EXPECT_EQ(panel().layer(), rack::panel::DvPanel::Layer::LoaderII);
    EXPECT_EQ(answers("PRC2,2,B0001"), std::string("?\0", 2));  // no "E" before
    EXPECT_EQ(answers("PRC2,2,E0001"), "0\r\n");
    EXPECT_EQ(answers("PRC2,2,F0001"), "?\r\n");                          // small sectors: E and B
    EXPECT_EQ(answers("PRC2,2,B0002"), std::string("?\0", 2));            // another sector
    EXPECT_EQ(answers("PRC2,2,E0001" + std::string(255, 'A')), "?\r\n");  // a piece cut short
    EXPECT_EQ(answers("PRC2,2,E0001" + std::string(256, '1')), "0\r\n");
    const std::string answer = answers("PRC2,2,B0001");
    ASSERT_EQ(answer.size(), 2u);
    EXPECT_EQ(uint8_t(answer[0]), uint8_t(128 * 0x11));  // the sector's byte sum
    EXPECT_EQ(panel().flash().bytes()[256], 0x11);
    EXPECT_EQ(panel().flash().bytes()[256 + 128], 0x00);
}

// A running application accepts the start and finish (the amplifier loaders' final step
// re-enables a panel that restarted with the rack's reset) but is activated only after a start
// from the loaders.
TEST_F(DvPanelSim, ActivationOnlyAfterAStartFromTheLoaders) {
    boot({{"kind", "DV43A"}});
    EXPECT_EQ(answers("PRC2,4"), "?\r\n");
    EXPECT_EQ(answers("PRC2,2,S00010000"), "0\r\n");
    EXPECT_EQ(answers("PRC2,5"), "0\r\n");
    EXPECT_EQ(answers("PRC2,4"), "?\r\n");
    EXPECT_EQ(answers("PRC2,1"), "0\r\n");
    EXPECT_EQ(answers("BDR19200,0,1,3"), "0\r\n");
    EXPECT_EQ(answers("PRC2,2,S00010000"), "0\r\n");
    EXPECT_EQ(answers("PRC2,5"), "0\r\n");
    EXPECT_EQ(answers("PRC2,4"), "0\r\n");
    EXPECT_TRUE(panel().activated());
    EXPECT_EQ(panel().portBaud(), 19200);
}

TEST_F(DvPanelSim, LoaderIAreaNeedsItsEnable) {
    boot({{"kind", "DV43A"}});
    intoLoaderII('2');
    ASSERT_EQ(answers("PRC2,2,S00000000"), "0\r\n");
    const auto writeSector = [&] {
        answers("PRC2,2,E03FD" + std::string(256, '2'));
        answers("PRC2,2,F03FD" + std::string(256, '2'));
        answers("PRC2,2,G03FD" + std::string(256, '2'));
        return answers("PRC2,2,B03FD" + std::string(256, '2'));
    };
    writeSector();
    EXPECT_EQ(panel().flash().bytes()[1021 * 512], 0xFF);  // protected
    EXPECT_EQ(answers("PRC2,2,L1"), std::string("0\0", 2));
    writeSector();
    EXPECT_EQ(panel().flash().bytes()[1021 * 512], 0x22);
}

TEST_F(DvPanelSim, BootstrapPanelRunsNoFirmware) {
    boot({{"kind", "DV43A"}, {"bootstrap", true}, {"passThrough", true}});
    EXPECT_EQ(answers("DID?"), "?\r\n");
}

}  // namespace
