// The C calls that give callers of the C API alone the port library's clock and its last error.
#include <cstring>
#include <vector>

#include "port_fixture.h"

namespace {

using CCallsTest = port_testing::PortTest;

TEST_F(CCallsTest, PausesTicksAndTheLastOpenError) {
    const uint32_t start = QTX_GetTickCount();
    EXPECT_EQ(QTX_WaitMs(11000), 0);
    EXPECT_EQ(QTX_WaitMs(5), 0);
    EXPECT_EQ(clock.waits(), (std::vector<int>{11000, 5}));
    EXPECT_EQ(QTX_GetTickCount() - start, 11005u);

    // The last open error is measured, copied and cut at the maximum.
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_TCP, 0, nullptr, 0, 0, 4096), QTX_ERR_ARGUMENT);
    const std::string error = linkpad::lastError();
    ASSERT_GT(error.size(), 4u);
    const auto length = static_cast<int32_t>(error.size());
    EXPECT_EQ(QTX_GetLastError(nullptr, 0), length);

    std::string whole(error.size() + 1, '\x7f');
    EXPECT_EQ(QTX_GetLastError(whole.data(), length + 1), length);
    EXPECT_STREQ(whole.c_str(), error.c_str());

    char cut[6];
    std::memset(cut, 0x7f, sizeof cut);
    EXPECT_EQ(QTX_GetLastError(cut, 5), length);
    EXPECT_EQ(std::string(cut), error.substr(0, 4));
    EXPECT_EQ(cut[5], '\x7f');  // nothing past the maximum

    openTo(std::make_shared<port_testing::ChunkPeer>());
    EXPECT_EQ(QTX_GetLastError(whole.data(), length + 1), 0);
    EXPECT_STREQ(whole.c_str(), "");
}

}  // namespace
