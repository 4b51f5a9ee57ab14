#include "rack/sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace rack::sim {

namespace {
constexpr int kHostPollMs = 20;
}

PtyServer::PtyServer(Rack& rack, Clock& clock, int baud, EventLog log)
    : rack_(rack), clock_(clock), byteTime_(byteTimeAt(baud)), log_(std::move(log)) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) < 0 || ::unlockpt(master_) < 0)
        throw std::runtime_error(std::string("cannot create a pseudo-terminal: ") + std::strerror(errno));
    path_ = ::ptsname(master_);
    // Raw until the host sets its own line: no echo, no line editing, no CR/LF translation.
    termios t{};
    ::tcgetattr(master_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master_, TCSANOW, &t);
}

PtyServer::~PtyServer() { ::close(master_); }

// Without a host the master side reports a hang-up; it clears when the host opens the path.
bool PtyServer::waitForHost(const StopSignal& stop) const {
    for (;;) {
        pollfd master{master_, POLLIN, 0};
        ::poll(&master, 1, 0);
        if (!(master.revents & POLLHUP)) return true;
        pollfd stopFd{stop.fd(), POLLIN, 0};
        if (::poll(&stopFd, 1, kHostPollMs) > 0) return false;
    }
}

void PtyServer::run(const StopSignal& stop) {
    while (waitForHost(stop)) {
        if (log_) log_("host opened " + path_);
        const auto end = HostSession(master_, rack_, clock_, byteTime_).run(stop);
        rack_.serialLineClosed();
        if (end == HostSession::End::Stopped) return;
        if (log_) log_("host closed " + path_);
    }
}

}  // namespace rack::sim
