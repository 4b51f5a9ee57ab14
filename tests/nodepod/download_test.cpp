// Loader-2 and flash downloads against scripted answers: the exact packet lines, erase lists,
// groups, checksum windows and every refusal, with the temporary images gone afterwards.
#include <algorithm>
#include <numeric>

#include "link/images/temp_images.h"
#include "link/quorlink.h"
#include "scripted_nodepod.h"
#include "tools/fwgen/fwgen.h"

using namespace nodepod_tests;
using testing_support::recordMessage;
using testing_support::recordProgress;

namespace {

std::vector<uint8_t> pattern(size_t size, int seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + seed);
    return bytes;
}

std::string packet(int node, const uint8_t* bytes) {
    return "PCH30," + std::to_string(node) + ",64,\"" + hexOf(bytes, 64) + "\"\r\n";
}

uint32_t wordSum(const std::vector<uint8_t>& bytes) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) sum += bytes[i] | bytes[i + 1] << 8;
    return sum;
}

class DownloadTest : public ScriptedNodePodTest {
  protected:
    void TearDown() override {
        ScriptedNodePodTest::TearDown();
        EXPECT_EQ(quorlink::TempImageCount(), 0);
    }
    std::string firmware(const std::vector<fwgen::Segment>& segments, bool forceS2 = false) {
        const std::string path = scratch.file("fw" + std::to_string(++files_) + ".s19");
        fwgen::SRecordOptions options;
        options.forceS2 = forceS2;
        fwgen::writeFileAtomically(path, fwgen::toSRecord(segments, options));
        return path;
    }
    void expectErase(int node, std::initializer_list<int> banks) {
        for (const int bank : banks)
            peer->line(cmd("PCH21," + std::to_string(node) + "," + std::to_string(bank)), "0");
    }
    // PCH22, four packets, PCH23 for the 256 bytes at `group`.
    void expectGroup(int node, int block, const uint8_t* group, const char* lastAnswer = "0") {
        const std::string id = std::to_string(node);
        peer->line(cmd("PCH22," + id + "," + std::to_string(block)), "0");
        for (int k = 0; k < 4; ++k) peer->line(packet(node, group + 64 * k), "0");
        const unsigned sum = std::accumulate(group, group + 256, 0u) % 256;
        peer->line(cmd("PCH23," + id + "," + std::to_string(sum)), lastAnswer);
    }
    int downLoader2(const std::string& path) {
        return NodePod_DownLoader2(5500, recordMessage, recordProgress, path.c_str(), 4, 21);
    }
    int download(int kind, const std::string& path, int node, int hardware) {
        return NodePod_DownApplication(5500, recordMessage, recordProgress, kind, path.c_str(),
                                       node, 21, hardware);
    }

  private:
    int files_ = 0;
};

// 0xC0000-0xC01FF: one application group and the restart-vector group.
const std::vector<uint8_t> kTwoGroups = pattern(512, 1);

TEST_F(DownloadTest, ApplicationLeavesTheRestartVectorGroupOutThatEstabWrites) {
    const auto path = firmware({{0xC0000, kTwoGroups}});
    expectErase(2, {6, 5, 4, 3, 2});
    expectGroup(2, 0xC00, kTwoGroups.data());
    peer->line(cmd("PCH25,2,786432,786687"), "0");
    const std::vector<uint8_t> first(kTwoGroups.begin(), kTwoGroups.begin() + 256);
    peer->line(cmd("PCH?25,2"), std::to_string(wordSum(first)));
    EXPECT_EQ(download(0, path, 2, 2), 0);
    EXPECT_EQ(reports.progress, std::vector<int>{0});
    EXPECT_TRUE(reports.messages.empty());

    // New hardware erases its own banks.
    expectErase(9, {8, 7, 6, 5, 4});
    expectGroup(9, 0xC00, kTwoGroups.data());
    peer->line(cmd("PCH25,9,786432,786687"), "0").line(cmd("PCH?25,9"), "1");
    EXPECT_EQ(download(0, path, 9, 4), -10);
    EXPECT_EQ(reports.messages.back().second, "Checksum Error Node ID 9!\r\n");

    // The restart vector is written alone, as the last group.
    expectGroup(2, 0xC01, kTwoGroups.data() + 256, "?");
    EXPECT_EQ(NodePod_Estab(5500, recordMessage, recordProgress, 2, 21, 2, path.c_str()), -9);
    EXPECT_EQ(reports.messages.back().second, "Error establishing restart vector!");
}

TEST_F(DownloadTest, ErasedGroupsAreSkippedButSummedInWindowsOf32KModulo32Bits) {
    // 40 KiB: a full window and a short one. 128 KiB and one group of 0xFFFF words sum to
    // 65,664 × 0xFFFF, past 2^32: the node's total and the image's wrap alike.
    for (const int64_t size : {40 * 1024, 128 * 1024 + 256}) {
        const auto path =
            firmware({{0xC0000, std::vector<uint8_t>(static_cast<size_t>(size), 0xFF)}});
        expectErase(2, {6, 5, 4, 3, 2, 1, 0});
        for (int64_t w = 0xC0000; w < 0xC0000 + size; w += 0x8000) {
            const int64_t end = std::min(w + 0x8000, 0xC0000 + size) - 1;
            peer->line(cmd("PCH25,2," + std::to_string(w) + "," + std::to_string(end)), "0");
            peer->line(cmd("PCH?25,2"), std::to_string((end - w + 1) / 2 * 0xFFFF));
        }
        reports.clear();
        EXPECT_EQ(download(1, path, 2, 2), 0);
        EXPECT_EQ(reports.progress.size(), static_cast<size_t>(size / 256));
        EXPECT_EQ(reports.progress.back(), 99);
    }
}

TEST_F(DownloadTest, DataEndingInsideAGroupIsStillWrittenWhole) {
    // 300 bytes: the second group holds 44 bytes of data; loader 1's window sends all groups.
    const auto data = pattern(300, 3);
    const auto path = firmware({{0xFA000, data}});
    std::vector<uint8_t> image(512, 0xFF);
    std::copy(data.begin(), data.end(), image.begin());
    expectErase(2, {1, 0});
    expectGroup(2, 0xFA0, image.data());
    expectGroup(2, 0xFA1, image.data() + 256);
    peer->line(cmd("PCH25,2,1024000,1024511"), "0");
    peer->line(cmd("PCH?25,2"), std::to_string(wordSum(image)));
    EXPECT_EQ(download(3, path, 2, 2), 0);
}

TEST_F(DownloadTest, RefusalsOfEachStep) {
    const auto path = firmware({{0xC0000, kTwoGroups}});
    peer->line(cmd("PCH21,2,6"), "0").line(cmd("PCH21,2,5"), "?");
    EXPECT_EQ(download(0, path, 2, 2), -5);
    EXPECT_EQ(reports.messages.back().second, "Error erasing flash bank 5!\r\n");

    expectErase(2, {6, 5, 4, 3, 2});
    peer->line(cmd("PCH22,2,3072"), "?");
    EXPECT_EQ(download(0, path, 2, 2), -7);
    EXPECT_EQ(reports.messages.back().second, "Error setting block number!");

    expectErase(2, {6, 5, 4, 3, 2});
    peer->line(cmd("PCH22,2,3072"), "0").line(packet(2, kTwoGroups.data()), "0");
    peer->line(packet(2, kTwoGroups.data() + 64), "?");
    EXPECT_EQ(download(0, path, 2, 2), -8);
    EXPECT_EQ(reports.messages.back().second, "Error downloading datablock 6144, packet 1!");

    expectErase(2, {6, 5, 4, 3, 2});
    expectGroup(2, 0xC00, kTwoGroups.data(), "?");
    EXPECT_EQ(download(0, path, 2, 2), -9);
    EXPECT_EQ(reports.messages.back().second, "Error flashing datablock 3072!");

    expectErase(2, {6, 5, 4, 3, 2});
    expectGroup(2, 0xC00, kTwoGroups.data());
    peer->line(cmd("PCH25,2,786432,786687"), "?");
    EXPECT_EQ(download(0, path, 2, 2), -8);
    EXPECT_EQ(reports.messages.back().second, "Error initialising checksum test!");

    expectErase(2, {6, 5, 4, 3, 2});
    expectGroup(2, 0xC00, kTwoGroups.data());
    peer->line(cmd("PCH25,2,786432,786687"), "0").line(cmd("PCH?25,2"), "?");
    EXPECT_EQ(download(0, path, 2, 2), -9);
    EXPECT_EQ(reports.messages.back().second, "Can't read checksum of Node ID 2!\r\n");

    expectErase(2, {6});
    peer->expect(cmd("PCH21,2,5"));
    EXPECT_EQ(download(0, path, 2, 2), -1);
    EXPECT_EQ(reports.messages.back().second, "Port Timeout!");
}

TEST_F(DownloadTest, FilesThatCannotBeWritten) {
    EXPECT_EQ(download(0, scratch.file("missing.s19"), 2, 2), -2);
    EXPECT_EQ(reports.messages.back().second, "Error opening application firmware file!");

    const auto outside = firmware({{0x1000, pattern(64, 1)}});
    EXPECT_EQ(download(0, outside, 2, 2), -4);
    const char* bad =
        "Error in application firmware file! \nChecksum-Error, or File is not a "
        "Motorola-S-Recordfile.";
    EXPECT_EQ(reports.messages.back().second, bad);

    const auto path = scratch.file("broken.s19");
    fwgen::writeFileAtomically(path, "S1130000000102\r\n");
    EXPECT_EQ(download(0, path, 2, 2), -4);
    EXPECT_EQ(reports.messages.back().second, bad);

    std::string flipped = fwgen::toSRecord({{0xC0000, kTwoGroups}});
    char& digit = flipped.at(flipped.find("\nS2") + 13);  // a data digit of the first record
    digit = digit == '0' ? '1' : '0';
    fwgen::writeFileAtomically(path, flipped);
    EXPECT_EQ(download(0, path, 2, 2), -4);
    EXPECT_EQ(reports.messages.back().second, bad);
    for (const auto& written : peer->writes()) EXPECT_EQ(written.find("PCH"), std::string::npos);
}

TEST_F(DownloadTest, LoaderTwoIsSentPacketByPacketIncludingErasedOnesAndItsFailures) {
    const auto data = pattern(100, 9);
    const auto path = firmware({{0x400, data}}, true);
    std::vector<uint8_t> image(5 * 64, 0xFF);
    std::copy(data.begin(), data.end(), image.begin());
    for (int i = 0; i < 5; ++i) peer->line(packet(4, image.data() + 64 * i), "0");
    EXPECT_EQ(downLoader2(path), 0);
    EXPECT_EQ(reports.progress, (std::vector<int>{0, 20, 40, 60, 80}));

    EXPECT_EQ(downLoader2(scratch.file("none.ld2")), -1);
    EXPECT_EQ(reports.messages.back().second,
              "Error opening loader2 file. Maybe loader2 does not exist!");

    const auto outside = firmware({{0x20000, pattern(64, 1)}});
    EXPECT_EQ(downLoader2(outside), -2);
    EXPECT_EQ(reports.messages.back().second,
              "Error in Loader2 File! \nChecksum-Error, or File is not a Motorola-S-Recordfile.");

    const auto refused = firmware({{0x400, pattern(64, 1)}}, true);
    peer->line(packet(4, pattern(64, 1).data()), "?");
    EXPECT_EQ(downLoader2(refused), -3);
    EXPECT_EQ(reports.messages.back().second, "Error downloading Loader 2 Datablock!");
}

}  // namespace
