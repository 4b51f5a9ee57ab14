#include "fd_transport.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "linkpad/hooks.h"
#include "linkpad/linkpad.h"

namespace linkpad {

namespace {
// A write that cannot get rid of its bytes within this time has lost its peer.
constexpr auto kWriteTimeout = std::chrono::seconds(5);
constexpr size_t kReadChunk = 4096;

ssize_t writeSome(int fd, std::string_view bytes) {
    // MSG_NOSIGNAL keeps a closed socket from killing the process; devices need plain write.
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == ENOTSOCK) return ::write(fd, bytes.data(), bytes.size());
    return sent;
}
}  // namespace

int msUntil(Clock::time_point deadline) {
    const auto left = deadline - clock().now();
    if (left <= Clock::duration::zero()) return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

FdTransport::FdTransport(int fd, std::string description, std::function<void(int)> release)
    : fd_(fd), description_(std::move(description)), release_(std::move(release)) {}

FdTransport::~FdTransport() {
    if (release_) release_(fd_);
}

bool FdTransport::waitFor(short events, Clock::time_point deadline) const {
    for (;;) {
        pollfd p{fd_, events, 0};
        const int ready = ::poll(&p, 1, msUntil(deadline));
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) return true;  // the following read or write reports the error
    }
}

int FdTransport::write(std::string_view bytes) {
    if (closed_) return QTX_ERR_IO;
    const auto deadline = clock().now() + kWriteTimeout;
    while (!bytes.empty()) {
        const ssize_t sent = writeSome(fd_, bytes);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(POLLOUT, deadline))
            continue;
        closed_ = sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK;
        return QTX_ERR_IO;
    }
    return 0;
}

ReceiveStatus FdTransport::receive(std::string& out, Clock::time_point deadline) {
    if (closed_) return ReceiveStatus::Closed;
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        if (!waitFor(POLLIN, deadline)) return ReceiveStatus::Timeout;
        const ssize_t got = ::read(fd_, chunk.data(), chunk.size());
        if (got > 0) {
            out.append(chunk.data(), static_cast<size_t>(got));
            return ReceiveStatus::Data;
        }
        if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        closed_ = true;  // end of stream, or the device went away (EIO)
        return ReceiveStatus::Closed;
    }
}

void FdTransport::discardInput() {
    if (closed_) return;
    if (::isatty(fd_)) ::tcflush(fd_, TCIFLUSH);
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0) return;
        const ssize_t got = ::read(fd_, chunk.data(), chunk.size());
        if (got > 0) continue;
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        closed_ = true;
        return;
    }
}

int FdTransport::setBreak(bool on) {
    if (!::isatty(fd_)) return 0;
    return ::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) == 0 ? 0 : QTX_ERR_IO;
}

}  // namespace linkpad
