// Serial ports: the COM mapping, line settings on a pseudo-terminal, and the errors that name
// the fix (missing device, device held by another program).
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include "linkpad/com_ports.h"
#include "port_fixture.h"
#include "scoped_env.h"

using namespace port_testing;
using testing_support::ScopedEnv;

namespace {

// A pseudo-terminal standing in for the rack's serial line.
class Pty {
public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master_);
        ::unlockpt(master_);
        path_ = ::ptsname(master_);
    }
    ~Pty() { ::close(master_); }
    const std::string& path() const { return path_; }
    int master() const { return master_; }

private:
    int master_ = -1;
    std::string path_;
};

class SerialTest : public PortTest {
protected:
    ScopedEnv noCom1{"QUORVEL_COM1", ""};
    ScopedEnv config{"XDG_CONFIG_HOME", std::filesystem::current_path().string()};
};

TEST_F(SerialTest, ComPortsMapToTtySUnlessAFileOrTheEnvironmentSaysOtherwise) {
    EXPECT_EQ(linkpad::comDevice(1).device, "/dev/ttyS0");
    EXPECT_EQ(linkpad::comDevice(2).device, "/dev/ttyS1");
    EXPECT_EQ(linkpad::comNumberForPortKind(QTX_PORT_COM1_RS485), 1);
    EXPECT_EQ(linkpad::comNumberForPortKind(QTX_PORT_COM2_RS485), 2);
    EXPECT_EQ(linkpad::comNumberForPortKind(QTX_PORT_TCP), 0);

    // A mapping file, then the environment, override the default.
    std::filesystem::create_directories("Quorvel");
    std::ofstream("Quorvel/ports.conf") << "# my adapters\nCOM1 = /dev/ttyUSB3\nCOM2=/dev/ttyACM0\n";
    EXPECT_EQ(linkpad::comMappingFile(), std::filesystem::current_path() / "Quorvel" / "ports.conf");
    EXPECT_EQ(linkpad::comDevice(1).device, "/dev/ttyUSB3");
    EXPECT_EQ(linkpad::comDevice(2).device, "/dev/ttyACM0");
    ScopedEnv com1("QUORVEL_COM1", "/dev/ttyUSB9");
    EXPECT_EQ(linkpad::comDevice(1).device, "/dev/ttyUSB9");
    EXPECT_EQ(linkpad::comDevice(1).source, "environment variable QUORVEL_COM1");
}

TEST_F(SerialTest, MissingDevicesNameWhatIsThereAndHowToMapAnother) {
    ScopedEnv com1("QUORVEL_COM1", "/dev/ttyNOSUCH7");
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_COM1, 9600, "e", 8, 1, 4096), QTX_ERR_NO_DEVICE);
    const std::string error = linkpad::lastError();
    EXPECT_NE(error.find("no serial device /dev/ttyNOSUCH7"), std::string::npos) << error;
    EXPECT_NE(error.find("QUORVEL_COM1"), std::string::npos) << error;
    EXPECT_NE(error.find("serial devices present:"), std::string::npos) << error;

    EXPECT_EQ(QTX_OpenPort(QTX_PORT_USB, 115200, "NO-SUCH-SERIAL", 0, 0, 4096), QTX_ERR_NO_DEVICE);
    EXPECT_NE(linkpad::lastError().find("NO-SUCH-SERIAL"), std::string::npos) << linkpad::lastError();
}

// Unsupported line settings are refused, a device held by another program is reported busy;
// once free, the pseudo-terminal gets the requested line settings. Commands and answers over a
// pseudo-terminal run end to end against ventrix-sim.
TEST_F(SerialTest, PseudoTerminalGetsTheRequestedLineSettingsOnceFree) {
    Pty pty;
    ScopedEnv com1("QUORVEL_COM1", pty.path());
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_COM1, 12345, "e", 8, 1, 4096), QTX_ERR_ARGUMENT);
    EXPECT_NE(linkpad::lastError().find("baud rate 12345"), std::string::npos);
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_COM1, 9600, "x", 8, 1, 4096), QTX_ERR_ARGUMENT);
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_COM1, 9600, "e", 9, 1, 4096), QTX_ERR_ARGUMENT);
    const int other = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_COM1, 9600, "e", 8, 1, 4096), QTX_ERR_BUSY) << linkpad::lastError();
    EXPECT_NE(linkpad::lastError().find("held by another program"), std::string::npos) << linkpad::lastError();
    ::close(other);

    ScopedEnv com2("QUORVEL_COM2", pty.path());
    ASSERT_EQ(QTX_OpenPort(QTX_PORT_COM2_RS485, 19200, "o", 7, 2, 4096), 0) << linkpad::lastError();
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.master(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), B19200);
    EXPECT_TRUE(t.c_cflag & CSTOPB);  // a pseudo-terminal keeps 8 bits without parity
    EXPECT_FALSE(t.c_lflag & ECHO);
}

}  // namespace
