#include "linkpad/tcp_address.h"

#include <algorithm>
#include <cctype>

namespace linkpad {

namespace {

std::variant<TcpAddress, std::string> withPort(std::string host, const std::string& port,
                                               const std::string& text) {
    if (host.empty()) return "no host name in TCP address \"" + text + "\"";
    const bool digits = !port.empty() && port.size() <= 5 &&
                        std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); });
    const int number = digits ? std::stoi(port) : 0;
    if (number < 1 || number > 65535)
        return "TCP port \"" + port + "\" in \"" + text + "\" is not a number from 1 to 65535";
    return TcpAddress{std::move(host), number};
}

}  // namespace

std::variant<TcpAddress, std::string> parseTcpAddress(const std::string& text) {
    if (text.empty()) return std::string("no TCP address given; expected host[:port]");
    if (text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos) return "missing ']' in TCP address \"" + text + "\"";
        std::string host = text.substr(1, close - 1);
        const std::string rest = text.substr(close + 1);
        if (rest.empty()) {
            if (host.empty()) return "no host name in TCP address \"" + text + "\"";
            return TcpAddress{std::move(host), kDefaultTcpPort};
        }
        if (rest.front() != ':') return "unexpected \"" + rest + "\" after ']' in \"" + text + "\"";
        return withPort(std::move(host), rest.substr(1), text);
    }
    const auto colon = text.find(':');
    // Several colons without brackets: a bare IPv6 address.
    if (colon == std::string::npos || text.find(':', colon + 1) != std::string::npos)
        return TcpAddress{text, kDefaultTcpPort};
    return withPort(text.substr(0, colon), text.substr(colon + 1), text);
}

}  // namespace linkpad
