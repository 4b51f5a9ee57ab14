#pragma once
// The TCP port address "host[:port]": a name, an IPv4 address or an IPv6 address (bracketed when
// it carries a port: "[fe80::1]:5025"). Without a port the rack's default 5025 is used.
#include <string>
#include <variant>

namespace linkpad {

constexpr int kDefaultTcpPort = 5025;

struct TcpAddress {
    std::string host;
    int port = kDefaultTcpPort;
};

// The address, or a text that says what is wrong with it.
std::variant<TcpAddress, std::string> parseTcpAddress(const std::string& text);

}  // namespace linkpad
