#include "rack/sim/host_session.h"

#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace rack::sim {

namespace {
constexpr size_t kReadChunk = 4096;

ssize_t writeSome(int fd, const char* data, size_t size) {
    const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && errno == ENOTSOCK) return ::write(fd, data, size);
    return sent;
}
}  // namespace

Clock::duration byteTimeAt(int baud) {
    if (baud <= 0) return {};
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(11.0 / baud));
}

HostSession::HostSession(int fd, Rack& rack, Clock& clock, Clock::duration byteTime)
    : fd_(fd), rack_(rack), clock_(clock), byteTime_(byteTime) {}

HostSession::End HostSession::run(const StopSignal& stop) {
    // paced bytes leave when due, not up to 50 µs later
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (;;) {
        const auto now = clock_.now();
        collectAnswers(now);
        if (!writeDue(now)) return End::HostLeft;
        if (hungUp_ && output_.empty()) return End::RackHungUp;
        const bool waitWritable = !output_.empty() && byteTime_ == Clock::duration::zero();
        pollfd fds[2] = {{fd_, static_cast<short>(POLLIN | (waitWritable ? POLLOUT : 0)), 0},
                         {stop.fd(), POLLIN, 0}};
        const auto timeout = pollTimeout(now);
        timespec wait{};
        if (timeout) {
            wait.tv_sec = static_cast<time_t>(std::chrono::duration_cast<std::chrono::seconds>(*timeout).count());
            wait.tv_nsec = static_cast<long>((*timeout - std::chrono::seconds(wait.tv_sec)).count());
        }
        if (::ppoll(fds, 2, timeout ? &wait : nullptr, nullptr) < 0 && errno != EINTR) return End::HostLeft;
        if (fds[1].revents) return End::Stopped;
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) && !readInput()) return End::HostLeft;
    }
}

void HostSession::collectAnswers(Clock::time_point now) {
    while (!hungUp_) {
        auto chunk = rack_.peekToHost();
        if (!chunk || chunk->readyAt > now) return;
        rack_.popToHost();
        if (output_.empty() && chunk->readyAt > lineFreeAt_) lineFreeAt_ = chunk->readyAt;
        output_ += chunk->bytes;
        hungUp_ = chunk->hangUp;
    }
}

bool HostSession::writeDue(Clock::time_point now) {
    size_t due = output_.size();
    if (byteTime_ > Clock::duration::zero()) {
        due = 0;
        while (due < output_.size() && lineFreeAt_ + byteTime_ <= now) {
            lineFreeAt_ += byteTime_;
            ++due;
        }
    }
    if (due == 0) return true;
    const ssize_t sent = writeSome(fd_, output_.data(), due);
    if (sent > 0) output_.erase(0, static_cast<size_t>(sent));
    return sent >= 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

bool HostSession::readInput() {
    std::string bytes(kReadChunk, '\0');
    const ssize_t got = ::read(fd_, bytes.data(), bytes.size());
    if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (got == 0) return false;
    bytes.resize(static_cast<size_t>(got));
    auto arrived = clock_.now();
    if (byteTime_ > Clock::duration::zero()) {
        // The last byte has crossed the line only after all of them took their time.
        inputFreeAt_ = std::max(arrived, inputFreeAt_) + byteTime_ * got;
        arrived = inputFreeAt_;
    }
    rack_.fromHost(bytes, arrived);
    return true;
}

// Until the next answer is due or the next paced byte may leave, to the nanosecond (a poll in
// whole milliseconds would add up to a millisecond to every paced answer); nullopt = only input
// can wake us.
std::optional<Clock::duration> HostSession::pollTimeout(Clock::time_point now) const {
    std::optional<Clock::time_point> next;
    if (!hungUp_) {
        if (auto chunk = rack_.peekToHost()) next = chunk->readyAt;
    }
    if (!output_.empty() && byteTime_ > Clock::duration::zero()) {
        const auto byteDue = lineFreeAt_ + byteTime_;
        if (!next || byteDue < *next) next = byteDue;
    }
    if (!next) return std::nullopt;
    return std::max(Clock::duration::zero(), *next - now);
}

}  // namespace rack::sim
