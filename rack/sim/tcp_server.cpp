#include "rack/sim/tcp_server.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "linkpad/tcp_address.h"

namespace rack::sim {

namespace {

std::string numericAddress(const sockaddr_storage& address, socklen_t size, int& port) {
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), size, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        throw std::runtime_error("cannot read the bound address");
    port = std::stoi(service);
    const std::string text(host);
    return (address.ss_family == AF_INET6 ? "[" + text + "]" : text) + ":" + service;
}

int listenOn(const addrinfo& ai) {
    const int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_CLOEXEC, ai.ai_protocol);
    if (fd < 0) return -1;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, ai.ai_addr, ai.ai_addrlen) == 0 && ::listen(fd, 4) == 0) return fd;
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

}  // namespace

TcpServer::TcpServer(Rack& rack, Clock& clock, const std::string& address, EventLog log)
    : rack_(rack), clock_(clock), log_(std::move(log)) {
    // "host:0" asks for any free port; the address parser itself wants a port from 1 to 65535.
    const bool anyPort = address.ends_with(":0");
    auto parsed = linkpad::parseTcpAddress(anyPort ? address.substr(0, address.size() - 2) : address);
    if (auto* problem = std::get_if<std::string>(&parsed)) throw std::runtime_error(*problem);
    const auto& where = std::get<linkpad::TcpAddress>(parsed);
    const std::string service = anyPort ? "0" : std::to_string(where.port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (const int error = getaddrinfo(where.host.c_str(), service.c_str(), &hints, &found); error != 0)
        throw std::runtime_error("\"" + where.host + "\" does not resolve: " + gai_strerror(error));
    int lastError = 0;
    for (addrinfo* ai = found; ai && listener_ < 0; ai = ai->ai_next) {
        listener_ = listenOn(*ai);
        lastError = errno;
    }
    freeaddrinfo(found);
    if (listener_ < 0)
        throw std::runtime_error("cannot listen on " + address + ": " + std::strerror(lastError));
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &size);
    bound_ = numericAddress(bound, size, port_);
}

TcpServer::~TcpServer() { ::close(listener_); }

int TcpServer::acceptHost(const StopSignal& stop) {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {stop.fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) return -1;
        if (fds[1].revents) return -1;
        if (!(fds[0].revents & POLLIN)) continue;
        const int host = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (host < 0) continue;
        const int on = 1;
        ::setsockopt(host, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return host;
    }
}

void TcpServer::run(const StopSignal& stop) {
    for (;;) {
        const int host = acceptHost(stop);
        if (host < 0) return;
        if (log_) log_("host connected");
        const auto end = HostSession(host, rack_, clock_).run(stop);
        ::close(host);
        rack_.hostDisconnected();
        if (log_) log_(end == HostSession::End::RackHungUp ? "rack closed the connection" : "host disconnected");
        if (end == HostSession::End::Stopped) return;
    }
}

}  // namespace rack::sim
