// The library against ventrix-sim over a pseudo-terminal, as a serial port mapped to COM1.
#include "e2e_fixture.h"
#include "scoped_env.h"

using namespace e2e;
using testing_support::recordMessage;
using testing_support::ScopedEnv;

namespace {

using SimOverPty = SimProcessTest;

// The RS485 kind of COM1 uses the same mapping.
TEST_F(SimOverPty, OpenQueryBaudResetAndCloseOverCom1AtTheLineRate) {
    auto sim = start(rackWithShortReset(), {"--pty", "--baud", "9600"});
    ScopedEnv com1("QUORVEL_COM1", sim->where());
    ASSERT_EQ(OpenConnection(1, 9600, "e", 8, 1, 3000, recordMessage, -1, 0), 0);
    char version[40] = {};
    int32_t length = 0;
    EXPECT_EQ(CheckVersion(version, &length), 0);
    EXPECT_STREQ(version, "P1.41");
    EXPECT_EQ(SetBdrVTX(19200, 3000, recordMessage, 1, "e", 1), 0);
    EXPECT_EQ(CloseConnection(), 0);
    ASSERT_EQ(reports.messages.size(), 1u);
    EXPECT_EQ(reports.messages[0].second,
              "Internal Baudrate have been succesfully reset to be compatible!");
    EXPECT_EQ(askRack(QTX_PORT_COM1, 9600, "e", "BDR?\r\n"), "19200,2,1,0");
    EXPECT_EQ(askRack(QTX_PORT_COM1_RS485, 9600, "e", "HWR?\r\n"), "\"A01\"");
}

}  // namespace
