// The KX33 update, upload and restart against ventrix-sim running as a program of its own, over
// TCP on the real clock: the upload reads back what the update burnt.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "link/quorlink.h"
#include "link_fixture.h"
#include "rack/sim/sim_process.h"
#include "temp_dir.h"
#include "tools/fwgen/processor_firmware.h"

using namespace testing_support;

namespace {

constexpr int kTimeout = 3000;
constexpr int kBlocks = 64;

TEST(Kx33EndToEndTest, UpdateUploadAndRestartOverTcp) {
    TempDir directory;
    const nlohmann::json description = {
        {"processor", {{"kind", "KX33"}, {"version", "P1.10"}, {"restartMs", 600}, {"sectorMs", 200}}}};
    std::ofstream(directory.file("rack.json")) << description.dump(2);
    const auto image = fwgen::kx33Image("P2.21", kBlocks * 512, 5);
    const std::string imagePath = directory.file("kx33.bin");
    std::ofstream(imagePath, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));

    rack::sim::SimProcess sim(VENTRIX_SIM, {"--rack", directory.file("rack.json"), "--tcp", "127.0.0.1:0", "-q"});
    auto& reports = Reports::current();
    reports.clear();
    ASSERT_EQ(OpenConnection(100, 0, sim.where().c_str(), 0, 0, 6000, recordMessage, -1, 0), 0);
    ASSERT_EQ(UpdateKX33(kTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                         imagePath.c_str(), "000", 0, kBlocks, 512, 0, 0, 0),
              0);
    const std::string uploaded = directory.file("kx33.upl");
    ASSERT_EQ(UploadKX33(kTimeout, recordMessage, recordProgress, recordStatus, nullptr,
                         uploaded.c_str(), "", 0, kBlocks, 512, 0, 0, 0),
              0);
    std::ifstream in(uploaded, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              std::string(image.begin(), image.end()));
    ASSERT_EQ(EstabKX33(kTimeout, recordMessage, recordProgress, recordStatus, nullptr, 1, 4,
                        "VerKernel", "VerAppl", "VerLilo"),
              0);
    char version[32] = {};
    int32_t length = 0;
    ASSERT_EQ(CheckVersion(version, &length), 0);
    EXPECT_STREQ(version, "P2.21");
    EXPECT_EQ(CloseConnection(), 0);
    EXPECT_TRUE(reports.messages.empty()) << reports.messages.front().second;
}

}  // namespace
