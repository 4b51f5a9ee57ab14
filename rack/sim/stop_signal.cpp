#include "rack/sim/stop_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

namespace rack::sim {

StopSignal::StopSignal() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) < 0) throw std::runtime_error("cannot create a pipe");
    read_ = ends[0];
    write_ = ends[1];
}

StopSignal::~StopSignal() {
    ::close(read_);
    ::close(write_);
}

void StopSignal::request() const {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(write_, &byte, 1);
}

bool StopSignal::requested() const {
    pollfd p{read_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

}  // namespace rack::sim
