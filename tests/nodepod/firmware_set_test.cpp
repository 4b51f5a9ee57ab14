// The NodePod firmware set as the download directory holds it: names the firmware list and the
// NodePod window look for, address ranges the loader reads, and the type table.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "link/images/srecord.h"
#include "scripted_nodepod.h"
#include "tools/fwgen/nodepod_set.h"

using namespace nodepod_tests;

namespace {

struct Range {
    int result = 0;
    int64_t lowest = -1, end = -1;
};

Range scanRange(const std::string& path, int64_t low, int64_t high) {
    Range r;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return {-99, -1, -1};
    r.result = quorlink::ScanSRecordRange(file, low, high, r.lowest, r.end);
    std::fclose(file);
    return r;
}

TEST(NodePodFirmwareSetTest, NamesAndRanges) {
    ScratchDirectory dir;
    fwgen::NodePodSet set;
    set.type = {22, "NP22", "NodePod-T"};
    set.version = "3.07";
    set.loader1Version = "1.12";
    const auto files = fwgen::writeNodePodSet(dir.path().string(), set);
    EXPECT_EQ(files.application, dir.file("NP22p307.s19"));
    EXPECT_EQ(files.loader1, dir.file("NP22p112.ld1"));
    EXPECT_EQ(files.loader2Old, dir.file("NP22p307.ld2"));
    EXPECT_EQ(files.loader2New, dir.file("NP22p307N4.ld2"));

    const Range application = scanRange(files.application, 0xC0000, 0xF9FFF);
    EXPECT_EQ(application.result, 0);
    EXPECT_EQ(application.lowest, 0xC0000);
    EXPECT_EQ(application.end, 0xF9FFF);  // the restart vector closes the application area
    const Range loader1 = scanRange(files.loader1, 0xFA000, 0xFFFFF);
    EXPECT_EQ(loader1.lowest, 0xFA000);
    EXPECT_EQ(scanRange(files.loader1, 0xC0000, 0xF9FFF).result, -11);
    EXPECT_EQ(scanRange(files.loader2New, 0x400, 0x17FFF).lowest, 0x10000);
    EXPECT_EQ(scanRange(files.loader2Old, 0x400, 0x17FFF).lowest, 0x400);
}

TEST(NodePodFirmwareSetTest, TypeTable) {
    ScratchDirectory dir;
    fwgen::writeNodePodConfig(dir.path().string(), {{21, "NP21", "a"}, {22, "NP22", "b"}});
    std::ifstream file(dir.file("NodePod.cfg"), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(),
              "QTX,V2\r\n21,\"NP21\",786688,1024000,1024,65536\r\n"
              "22,\"NP22\",786688,1024000,1024,65536\r\n");
}

}  // namespace
