// TCP/IP ports: "host[:port]", IPv4 or IPv6, connected within a bounded time, Nagle off so that
// every short command leaves at once.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "fd_transport.h"
#include "linkpad/linkpad.h"
#include "linkpad/tcp_address.h"
#include "transports.h"

namespace linkpad {

namespace {

constexpr auto kConnectTimeout = std::chrono::seconds(3);

using AddrInfoList = std::unique_ptr<addrinfo, decltype(&freeaddrinfo)>;

// Name look-up runs in a thread of its own so that a resolver that hangs cannot hold the caller
// past the connect time-out; the thread finishes on its own and frees what it found.
struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int error = 0;
    addrinfo* found = nullptr;
    ~Lookup() {
        if (found) freeaddrinfo(found);
    }
};

std::variant<AddrInfoList, std::string> resolve(const TcpAddress& address,
                                                std::chrono::steady_clock::time_point deadline) {
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host = address.host, port = std::to_string(address.port)] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const int error = getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
        std::lock_guard lock(lookup->mutex);
        lookup->error = error;
        lookup->found = found;
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->done.wait_until(lock, deadline, [&] { return lookup->finished; }))
        return "looking up \"" + address.host + "\" timed out; check the name or use an IP address";
    if (lookup->error != 0)
        return "\"" + address.host + "\" does not resolve (" + gai_strerror(lookup->error) +
               "); check the rack's host name or use its IP address";
    AddrInfoList list(lookup->found, &freeaddrinfo);
    lookup->found = nullptr;
    return list;
}

// Connects one socket to one address without blocking past the deadline; the socket stays
// non-blocking. Returns the socket or -errno.
int connectOne(const addrinfo& ai, std::chrono::steady_clock::time_point deadline) {
    const int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
    if (fd < 0) return -errno;
    int error = 0;
    if (::connect(fd, ai.ai_addr, ai.ai_addrlen) < 0) {
        error = errno;
        if (error == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            int ready = 0;
            do {
                ready = ::poll(&p, 1, static_cast<int>(std::max<long>(0, left.count())));
            } while (ready < 0 && errno == EINTR);
            socklen_t size = sizeof error;
            if (ready <= 0) error = ETIMEDOUT;
            else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) < 0) error = errno;
        }
    }
    if (error != 0) {
        ::close(fd);
        return -error;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

std::string connectError(const TcpAddress& address, int error) {
    const std::string where = address.host + ":" + std::to_string(address.port);
    switch (error) {
        case ECONNREFUSED:
            return "connection to " + where + " refused: nothing listens there; check the address, "
                   "the port and that the rack is switched on";
        case ETIMEDOUT:
            return "connection to " + where + " timed out after 3 s; check the address, the "
                   "network cable and that the rack is switched on";
        case ENETUNREACH:
        case EHOSTUNREACH:
            return "no route to " + where + "; check the network settings";
        default:
            return "cannot connect to " + where + ": " + std::strerror(error);
    }
}

}  // namespace

OpenResult openTcpTransport(const PortRequest& request) {
    auto parsed = parseTcpAddress(request.address);
    if (auto* problem = std::get_if<std::string>(&parsed)) return {nullptr, QTX_ERR_ARGUMENT, *problem};
    const auto& address = std::get<TcpAddress>(parsed);
    const auto deadline = std::chrono::steady_clock::now() + kConnectTimeout;
    auto resolved = resolve(address, deadline);
    if (auto* problem = std::get_if<std::string>(&resolved)) return {nullptr, QTX_ERR_NO_DEVICE, *problem};
    int error = ENOENT;
    for (const addrinfo* ai = std::get<AddrInfoList>(resolved).get(); ai; ai = ai->ai_next) {
        const int fd = connectOne(*ai, deadline);
        if (fd >= 0) {
            auto transport = std::make_unique<FdTransport>(
                fd, "TCP " + address.host + ":" + std::to_string(address.port), [](int f) { ::close(f); });
            return {std::move(transport), 0, {}};
        }
        error = -fd;
        if (error == ETIMEDOUT) break;  // the time budget is spent
    }
    return {nullptr, QTX_ERR_NO_DEVICE, connectError(address, error)};
}

}  // namespace linkpad
