// The node-ID scan against scripted answers: each program state, the way back from loader 2,
// warnings that do not end the scan, and the failures that do.
#include <string>
#include <tuple>

#include "link/quorlink.h"
#include "linkpad/linkpad.h"
#include "scripted_nodepod.h"

using namespace nodepod_tests;

namespace {

using ScanTest = ScriptedNodePodTest;

// Nothing at the ID gives state zero and blank texts; then each program state in turn.
TEST_F(ScanTest, ProgramStatesWithTheirWaitsAndWarnings) {
    play({{"PCH?1,7", "?"}, {"PCH?21,7", "?"}, {"PCH?11,7", "?"}});
    const NodeScan none = scanNode(7);
    EXPECT_EQ(
        std::tie(none.result, none.state, none.type, none.name, none.nameLength, none.loader1),
        std::make_tuple(0, 0, 0, " ", 1, " "));
    EXPECT_TRUE(reports.messages.empty());

    // An application reports its identity.
    play({{"PCH?1,2", "21"},
          {"PCH?2,2", "NodePod-S"},
          {"PCH?3,2", "2.05"},
          {"PCH?4,2", "4"},
          {"PCH?5,2", "4711"}});
    const NodeScan app = scanNode(2);
    EXPECT_EQ(std::tie(app.result, app.state, app.type, app.serial, app.name, app.nameLength),
              std::make_tuple(0, 1, 21, 4711, "NodePod-S", 9));
    EXPECT_EQ(std::tie(app.firmware, app.hardware, app.loader1), std::make_tuple("2.05", "4", " "));
    EXPECT_EQ(QTX_GetCurrTimeout(), 5500);

    // Loader 1 without a version only warns.
    play({{"PCH?1,4", "?"},
          {"PCH?21,4", "?"},
          {"PCH?11,4", "21"},
          {"PCH?6,4", "?"},
          {"PCH?4,4", "2"},
          {"PCH?5,4", "815"}});
    const NodeScan ld1 = scanNode(4);
    EXPECT_EQ(std::tie(ld1.result, ld1.state, ld1.serial), std::make_tuple(0, 2, 815));
    EXPECT_TRUE(protocolWaits().empty());
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Warning: Can't read loader1 version!"});

    // Loader 2 is sent to loader 1 and reported as loader 1.
    reports.clear();
    play({{"PCH?1,100", "?"},
          {"PCH?21,100", "2.01"},
          {"PCH24,100,1024004", "0"},
          {"PCH?11,100", "22"},
          {"PCH?6,100", "1.10"},
          {"PCH?4,100", "?"},
          {"PCH?5,100", "?"}});
    const NodeScan ld2 = scanNode(100);
    EXPECT_EQ(std::tie(ld2.result, ld2.state, ld2.type, ld2.loader1, ld2.hardware, ld2.serial),
              std::make_tuple(0, 2, 22, "1.10", " ", 0));
    EXPECT_EQ(protocolWaits(), std::vector<int>{1000});
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"Warning: Can't read hardware revision!",
                                                        "Warning: Can't read serial number!"}));
}

TEST_F(ScanTest, FailuresThatEndTheScan) {
    const struct {
        Script script;
        int result, state;
        const char* message;
    } cases[] = {
        {{{"PCH?1,6", "?"}, {"PCH?21,6", "2.01"}, {"PCH24,6,1024004", "0"}, {"PCH?11,6", "?"}},
         -6,
         3,
         "Error2 switching NODEPOD from Loader2 to Loader1!"},
        {{{"PCH?1,6", "?"}, {"PCH?21,6", "2.01"}, {"PCH24,6,1024004", "?"}},
         -5,
         3,
         "Error switching NODEPOD from Loader2 to Loader1!"},
        {{{"PCH?1,6", "21"}, {"PCH?2,6", "?"}}, -3, 1, "Error reading NODEPOD name!"},
        {{{"PCH?1,6", "21"}, {"PCH?2,6", "N"}, {"PCH?3,6", "?"}},
         -4,
         1,
         "Error reading NODEPOD firmware version!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        play(c.script);
        const NodeScan r = scanNode(6);
        EXPECT_EQ(std::tie(r.result, r.state), std::make_tuple(c.result, c.state));
        EXPECT_EQ(reports.messages.back().second, c.message);
        if (c.result == -4) {
            EXPECT_EQ(r.name, "N") << "the name read before stays";
        }
    }
}

TEST_F(ScanTest, SilenceIsAPortTimeout) {
    peer->expect(cmd("PCH?1,9"));
    const NodeScan r = scanNode(9);
    EXPECT_EQ(std::tie(r.result, r.state), std::make_tuple(-1, 0));
    EXPECT_EQ(reports.messages.back().second, "Port Timeout!");
}

}  // namespace
