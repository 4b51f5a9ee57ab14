// The TCP transport's address parsing and the reasons an open fails; commands and answers over
// real loopback TCP, and a rack closing the connection, run end to end against ventrix-sim.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

// A loopback address whose port was just free and is closed again: it refuses.
std::string RefusingAddress() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

// A refusing port, a name that does not resolve and a missing or malformed address fail with a
// clear message; the last before any network access.
TEST(TcpTransport, OpenFailuresSayWhy) {
    const std::string address = RefusingAddress();
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
