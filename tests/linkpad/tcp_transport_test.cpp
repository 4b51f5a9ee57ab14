// The TCP transport against real loopback sockets (real clock), and its address parsing.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "linkpad/tcp_address.h"
#include "port_fixture.h"

using namespace port_testing;

namespace {

TEST(TcpAddress, HostWithAndWithoutPortAndWhatIsWrongWithABadOne) {
    const std::pair<std::string, linkpad::TcpAddress> good[] = {
        {"192.168.0.5", {"192.168.0.5", 5025}}, {"rack7:6000", {"rack7", 6000}},
        {"[fe80::1]:7000", {"fe80::1", 7000}},  {"[::1]", {"::1", 5025}},
        {"fe80::1", {"fe80::1", 5025}},
    };
    for (const auto& [text, address] : good) {
        const auto result = linkpad::parseTcpAddress(text);
        ASSERT_TRUE(std::holds_alternative<linkpad::TcpAddress>(result)) << text;
        EXPECT_EQ(std::get<linkpad::TcpAddress>(result).host, address.host) << text;
        EXPECT_EQ(std::get<linkpad::TcpAddress>(result).port, address.port) << text;
    }
    const std::pair<std::string, std::string> bad[] = {
        {"", "no TCP address"},           {"rack:0", "not a number from 1 to 65535"},
        {"rack:70000", "not a number from 1 to 65535"}, {"rack:port", "\"port\""},
        {":5025", "no host name"},        {"[::1", "missing ']'"},
    };
    for (const auto& [text, problem] : bad) {
        const auto result = linkpad::parseTcpAddress(text);
        ASSERT_TRUE(std::holds_alternative<std::string>(result)) << text;
        EXPECT_NE(std::get<std::string>(result).find(problem), std::string::npos) << text;
    }
}

// A loopback listener on a free port; the test decides what the accepted peer does.
class Listener {
public:
    Listener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_, 1);
        socklen_t size = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~Listener() { closeListener(); }
    void closeListener() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    int accept() const { return ::accept(fd_, nullptr, nullptr); }

private:
    int fd_ = -1;
    int port_ = 0;
};

class TcpTransportTest : public ::testing::Test {
protected:
    ~TcpTransportTest() override {
        QTX_ClosePort();
        QTX_SetTimeout(3600);
    }
};

// The answer comes back; a peer closing mid-answer ends the next read with an error, not a
// time-out.
TEST_F(TcpTransportTest, CommandAndAnswerOverLoopbackThenThePeerClosesMidAnswer) {
    Listener listener;
    std::thread rack([&] {
        const int host = listener.accept();
        char command[16] = {};
        ASSERT_EQ(::read(host, command, 8), 8);
        EXPECT_STREQ(command, "PRC?11\r\n");
        EXPECT_EQ(::write(host, "P1.41\r\nP1.", 10), 10);
        ::close(host);
    });
    ASSERT_EQ(QTX_OpenPort(QTX_PORT_TCP, 0, listener.address().c_str(), 0, 0, 4096), 0);
    QTX_SetTimeout(120000);  // a hang would show as a test time-out
    EXPECT_EQ(QTX_WritePort("PRC?11\r\n"), 0);
    char answer[30] = {};
    int32_t count = 0;
    int32_t status = 0;
    EXPECT_EQ(QTX_ReadPort(answer, 30, &count, &status, 10), 0);
    EXPECT_STREQ(answer, "P1.41");
    EXPECT_EQ(QTX_ReadPort(answer, 30, &count, &status, 10), QTX_ERR_IO);
    rack.join();
}

// A refusing port, a name that does not resolve and a missing or malformed address fail with a
// clear message; the last before any network access.
TEST_F(TcpTransportTest, OpenFailuresSayWhy) {
    Listener listener;
    const std::string address = listener.address();
    listener.closeListener();
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_TCP, 0, address.c_str(), 0, 0, 4096), QTX_ERR_NO_DEVICE);
    EXPECT_NE(linkpad::lastError().find("refused"), std::string::npos) << linkpad::lastError();
    EXPECT_NE(linkpad::lastError().find(address), std::string::npos);

    EXPECT_EQ(QTX_OpenPort(QTX_PORT_TCP, 0, "no-such-rack.invalid", 0, 0, 4096), QTX_ERR_NO_DEVICE);
    // Without a reachable name server the look-up runs into its time limit instead.
    const std::string error = linkpad::lastError();
    EXPECT_TRUE(error.find("\"no-such-rack.invalid\" does not resolve") != std::string::npos ||
                error.find("looking up \"no-such-rack.invalid\" timed out") != std::string::npos)
        << error;

    EXPECT_EQ(QTX_OpenPort(QTX_PORT_TCP, 0, nullptr, 0, 0, 4096), QTX_ERR_ARGUMENT);
    EXPECT_NE(linkpad::lastError().find("no TCP address"), std::string::npos);
    EXPECT_EQ(QTX_OpenPort(QTX_PORT_TCP, 0, "rack:http", 0, 0, 4096), QTX_ERR_ARGUMENT);
}

}  // namespace
