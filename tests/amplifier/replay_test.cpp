// A scan and a download recorded in the traffic log and played back as the rack: the library
// sees the same answers and comes to the same results; a changed firmware byte shows as the first
// command that differs from the recording.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <tuple>

#include "amplifier_rack.h"
#include "link/images/stamp.h"
#include "link/quorlink.h"
#include "rack/replay/replay_component.h"

using namespace testing_support;

namespace {

constexpr uint32_t kMask = 1u << 2;

struct Session {
    std::vector<std::tuple<int, std::string, std::string, int>> scan;  // result, identity, model, mode
    int download = 0;
    std::vector<std::string> messages;
    bool operator==(const Session&) const = default;
};

class ReplayTest : public AmplifierRackTest {
protected:
    // The traffic log goes to the working directory: the test's own folder while it runs.
    // The download stamp carries the time: the recording and its replays stamp the same second.
    void SetUp() override {
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(directory.c_str()), 0);
        quorlink::SetStampTimeSource([] {
            std::tm recorded{};
            recorded.tm_mday = 7;
            recorded.tm_year = 126;
            return recorded;
        });
    }
    void TearDown() override {
        quorlink::SetStampTimeSource({});
        ASSERT_EQ(chdir(previous), 0);
    }

    Session session(const FirmwareFiles& files, int trafficLog) {
        Session s;
        EXPECT_EQ(OpenConnection(100, 1, "127.0.0.1:5025", 0, 0, 6000, recordMessage, -1, trafficLog), 0);
        reports.clear();
        for (const int position : {34, 33, 0, 1, 2, 3}) {
            const auto id = identifySlot(position);
            s.scan.emplace_back(id.result, id.identity, id.model, id.amplifierMode);
        }
        s.download = download(files, kMask);
        for (const auto& message : reports.messages) s.messages.push_back(message.second);
        CloseConnection();
        return s;
    }
    // Plays the recorded log back (at once, without the recorded delays) to the same calls.
    Session replay(const FirmwareFiles& files, rack::replay::ReplayComponent*& component) {
        std::shared_ptr<rack::Rack> played = rack::replay::replayRack((directory / "comlog.log").string(), {false, {}}, component);
        attach(played);
        return session(files, 0);
    }

    char previous[4096] = {};
};

TEST_F(ReplayTest, RecordedScanAndDownloadPlayBackAlikeAndAChangedByteShowsWhereItDiffers) {
    start({slotOfType(2, 2)});
    CloseConnection();
    auto files = writeFirmware(2);
    const Session recorded = session(files, 1);
    ASSERT_EQ(recorded.download, 0);
    ASSERT_EQ(std::get<0>(recorded.scan[4]), 0);  // slot 2 holds the module

    rack::replay::ReplayComponent* component = nullptr;
    EXPECT_EQ(replay(files, component), recorded);
    EXPECT_EQ(component->firstDifference(), "");
    EXPECT_EQ(component->played(), component->recorded());

    files.firmware.application[0].data[0x800] ^= 0x01;
    std::ofstream(files.application) << fwgen::toIntelHex(files.firmware.application);
    EXPECT_NE(replay(files, component).download, 0);
    EXPECT_TRUE(component->firstDifference().starts_with("command ")) << component->firstDifference();
    EXPECT_NE(component->firstDifference().find("recorded \"PRC1,"), std::string::npos) << component->firstDifference();
}

}  // namespace
