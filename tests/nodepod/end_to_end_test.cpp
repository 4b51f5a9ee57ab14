// ventrix-sim as a process of its own, on the real clock: over TCP a head's loader 1 is rewritten
// through loader 2 and the head then reports it; over a pseudo-terminal the heads are scanned.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "rack/sim/sim_process.h"
#include "scripted_nodepod.h"
#include "tools/fwgen/nodepod_set.h"

using namespace nodepod_tests;
using testing_support::recordMessage;
using testing_support::recordProgress;
using testing_support::recordStatus;

namespace {

// COM1 mapped to a device for the life of the object; the earlier mapping comes back after it.
class ScopedCom1 {
  public:
    explicit ScopedCom1(const std::string& device) {
        if (const char* previous = std::getenv("QUORVEL_COM1")) previous_ = previous;
        setenv("QUORVEL_COM1", device.c_str(), 1);
    }
    ~ScopedCom1() {
        if (previous_)
            setenv("QUORVEL_COM1", previous_->c_str(), 1);
        else
            unsetenv("QUORVEL_COM1");
    }
    ScopedCom1(const ScopedCom1&) = delete;
    ScopedCom1& operator=(const ScopedCom1&) = delete;

  private:
    std::optional<std::string> previous_;
};

TEST(NodePodEndToEndTest, LoaderOneRewrittenOverTcp) {
    ScratchDirectory scratch;
    const nlohmann::json head = {{"id", 2},
                                 {"type", 21},
                                 {"hardwareRevision", "2"},
                                 {"application", {{"name", "NodePod-S"}, {"version", "1.00"}}},
                                 {"loader1", {{"version", "1.10"}}}};
    nlohmann::json ra56 = {{"slot", 2}, {"kind", "RA56"}, {"stageMs", 20}};
    ra56["nodes"] = nlohmann::json::array({head});
    nlohmann::json description;
    description["slots"] = nlohmann::json::array({ra56});
    std::ofstream(scratch.file("rack.json")) << description.dump(2);
    fwgen::NodePodSet set;
    set.loader1Version = "1.20";
    const auto files = fwgen::writeNodePodSet(scratch.path().string(), set);

    rack::sim::SimProcess sim(
        VENTRIX_SIM, {"--rack", scratch.file("rack.json"), "--tcp", "127.0.0.1:0", "--quiet"});
    auto& reports = testing_support::Reports::current();
    reports.clear();
    ASSERT_EQ(OpenConnection(100, 1, sim.where().c_str(), 0, 0, 6000, recordMessage, -1, 0), 0);
    ASSERT_EQ(NodePod_SetRA56Mode(5500, recordMessage, recordProgress, recordStatus, 3, 1), 0);
    EXPECT_EQ(scanNode(2).state, 1);
    ASSERT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 2, 0, 21, 1024, 2), 0);
    ASSERT_EQ(
        NodePod_DownLoader2(5500, recordMessage, recordProgress, files.loader2Old.c_str(), 2, 21),
        0);
    ASSERT_EQ(NodePod_Switch2Loader2(5500, recordMessage, 2, 21, 1024), 0);
    ASSERT_EQ(NodePod_DownApplication(5500, recordMessage, recordProgress, 3, files.loader1.c_str(),
                                      2, 21, 2),
              0);
    ASSERT_EQ(NodePod_Switch2Loader1(5500, recordMessage, 2, 1, 21, 1024, 1), 0);
    const NodeScan after = scanNode(2);
    EXPECT_EQ(after.state, 2);
    EXPECT_EQ(after.loader1, "1.20");
    EXPECT_EQ(CloseConnection(), 0);
    EXPECT_TRUE(reports.messages.empty()) << reports.messages.front().second;
}

TEST(NodePodEndToEndTest, ScanOverAPseudoTerminal) {
    ScratchDirectory scratch;
    nlohmann::json ra56 = {{"slot", 0}, {"kind", "RA56"}, {"stageMs", 20}};
    ra56["nodes"] =
        nlohmann::json::array({{{"id", 2}, {"type", 21}, {"application", {{"version", "1.00"}}}},
                               {{"id", 4}, {"type", 22}, {"program", "loader2"}}});
    nlohmann::json description;
    description["slots"] = nlohmann::json::array({ra56});
    std::ofstream(scratch.file("rack.json")) << description.dump(2);

    rack::sim::SimProcess sim(VENTRIX_SIM, {"--rack", scratch.file("rack.json"), "--pty", "-q"});
    const ScopedCom1 com1(sim.where());
    ASSERT_EQ(OpenConnection(1, 9600, nullptr, 8, 1, 6000, recordMessage, -1, 0), 0);
    EXPECT_EQ(NodePod_SetRA56Mode(5500, recordMessage, recordProgress, recordStatus, 1, 1), 0);
    EXPECT_EQ(scanNode(2).state, 1);
    const NodeScan fromLoader2 = scanNode(4);
    EXPECT_EQ(fromLoader2.result, 0);
    EXPECT_EQ(fromLoader2.state, 2);
    EXPECT_EQ(scanNode(6).state, 0);
    EXPECT_EQ(CloseConnection(), 0);
}

}  // namespace
