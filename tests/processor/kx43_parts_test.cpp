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

class IniPatch : public ::testing::Test {
protected:
    std::string patched(ConnectionState c) {
        std::string b = block;
        patchInitialisationBlock(b, c);
        return b;
    }
    static ConnectionState connection(int32_t kind, int32_t parameter, std::string address,
                                      int32_t option = 1, int32_t device = -1) {
        ConnectionState c;
        c.portKind = kind;
        c.portParameter = parameter;
        c.portAddress = std::move(address);
        c.portOption = option;
        c.deviceAddress = device;
        return c;
    }
    std::string block = std::string(128, '\x55');
};

TEST_F(IniPatch, TcpAddressGoesIntoBytesTwoToFive) {
    const std::string b = patched(connection(100, 0, "10.20.30.40:5025"));
    EXPECT_EQ(b.substr(0, 6), std::string("\x55\x55\x0A\x14\x1E\x28", 6));
    EXPECT_EQ(b.substr(6), block.substr(6));
}

TEST_F(IniPatch, HostNameLeavesTheAddressAlone) {
    // A name is no address the processor could come up with; its old address is kept.
    EXPECT_EQ(patched(connection(100, 0, "rack-7.lab:5025")), block);
    EXPECT_EQ(patched(connection(100, 0, "10.20.300.40")), block);
}

TEST_F(IniPatch, Rs232LineGoesIntoBytesSixToNine) {
    const std::string b = patched(connection(2, 14400, "odd", 2));
    EXPECT_EQ(b.substr(6, 4), std::string("\x05\x00\x01\x02", 4));  // 14400 is coded as 9600
    EXPECT_EQ(b.substr(0, 6), block.substr(0, 6));
    EXPECT_EQ(b.substr(10), block.substr(10));
}

TEST_F(IniPatch, Rs485AddressAndLine) {
    const std::string b = patched(connection(10, 115200, "n", 1, 17));
    EXPECT_EQ(b[1], '\x11');
    EXPECT_EQ(b.substr(10, 4), std::string("\x09\x00\x00\x01", 4));
    EXPECT_EQ(b.substr(2, 8), block.substr(2, 8));
}

TEST_F(IniPatch, GpibAddressGoesIntoByteZero) {
    const std::string b = patched(connection(488, 0, "", 0, 12));
    EXPECT_EQ(b[0], '\x0C');
    EXPECT_EQ(b.substr(1), block.substr(1));
}

TEST_F(IniPatch, OtherPortsAndShortFilesAreSafe) {
    EXPECT_EQ(patched(connection(200, 0, "SN123")), block);
    block = "\x01\x02\x03";
    EXPECT_EQ(patched(connection(1, 38400, "e")), "\x01\x02\x03");  // nothing beyond the file
}

TEST(Kx43Codes, BaudRatesAndParity) {
    EXPECT_EQ(baudRateCode(300), 0);
    EXPECT_EQ(baudRateCode(115200), 9);
    EXPECT_EQ(baudRateCode(57600), 8);
    EXPECT_EQ(baudRateCode(14400), 5);
    EXPECT_EQ(parityCode("n"), 0);
    EXPECT_EQ(parityCode("o"), 1);
    EXPECT_EQ(parityCode("e"), 2);
    EXPECT_EQ(parityCode("N"), 2);
    EXPECT_EQ(parityCode(""), 2);
}

}  // namespace
