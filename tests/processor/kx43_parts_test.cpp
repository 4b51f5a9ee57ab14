// The KX43 update's own pieces: the file list and the initialisation-file patch.
#include <gtest/gtest.h>

#include "link/processor/kx43_file_list.h"
#include "link/processor/kx43_ini_patch.h"

using quorlink::ConnectionState;
using namespace quorlink::processor;

namespace {

TEST(Kx43FileList, NamesFollowHashesAndTheLastRunsToTheEnd) {
    const auto names = parseFileList("#kx43.exe#services#autoexec.bat", 3);
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{"kx43.exe", "services", "autoexec.bat"}));
    EXPECT_EQ(parseFileList("#kx43.exe#services", 1)->size(), 1u);
    EXPECT_TRUE(parseFileList("", 0)->empty());
}

TEST(Kx43FileList, MissingHashOrTooFewNamesIsMalformed) {
    EXPECT_FALSE(parseFileList("kx43.exe", 1));
    EXPECT_FALSE(parseFileList("#kx43.exe", 2));
    EXPECT_FALSE(parseFileList("", 1));
}

ConnectionState connection(int32_t kind, int32_t parameter, std::string address, int32_t option = 1,
                           int32_t device = -1) {
    ConnectionState c;
    c.portKind = kind;
    c.portParameter = parameter;
    c.portAddress = std::move(address);
    c.portOption = option;
    c.deviceAddress = device;
    return c;
}

// The connection in use goes into its bytes of the initialisation block, every other byte stays:
// the TCP address into bytes 2-5 (a host name or a bad address leaves it alone), the RS232 line
// into bytes 6-9 (14400 is coded as 9600), the RS485 address into byte 1 and its line into bytes
// 10-13, the GPIB address into byte 0; other ports change nothing.
TEST(IniPatch, ConnectionGoesIntoItsBytesAndNothingElse) {
    const struct {
        ConnectionState connection;
        std::vector<std::pair<size_t, std::string>> patches;
    } cases[] = {
        {connection(100, 0, "10.20.30.40:5025"), {{2, "\x0A\x14\x1E\x28"}}},
        {connection(100, 0, "rack-7.lab:5025"), {}},
        {connection(100, 0, "10.20.300.40"), {}},
        {connection(2, 14400, "odd", 2), {{6, std::string("\x05\x00\x01\x02", 4)}}},
        {connection(10, 115200, "n", 1, 17),
         {{1, "\x11"}, {10, std::string("\x09\x00\x00\x01", 4)}}},
        {connection(488, 0, "", 0, 12), {{0, "\x0C"}}},
        {connection(200, 0, "SN123"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.connection.portAddress);
        std::string block(128, '\x55'), expected = block;
        for (const auto& [at, bytes] : c.patches) expected.replace(at, bytes.size(), bytes);
        patchInitialisationBlock(block, c.connection);
        EXPECT_EQ(block, expected);
    }
    std::string shortFile = "\x01\x02\x03";
    patchInitialisationBlock(shortFile, connection(1, 38400, "e"));
    EXPECT_EQ(shortFile, "\x01\x02\x03");  // nothing beyond the file
}

}  // namespace
