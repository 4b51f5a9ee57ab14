#include "port_library.h"

#include <optional>

#include "linkpad/linkpad.h"
#include "wait_notice.h"

namespace linkpad {

namespace {
RealClock realClock;
Clock* currentClock = &realClock;
TransportFactory factory;
}  // namespace

Clock& clock() { return *currentClock; }
void setClock(Clock* c) { currentClock = c ? c : &realClock; }
void setTransportFactory(TransportFactory f) { factory = std::move(f); }
std::string lastError() { return PortLibrary::instance().lastError(); }

PortLibrary& PortLibrary::instance() {
    static PortLibrary library;
    return library;
}

int PortLibrary::open(const PortRequest& request) {
    close();
    OpenResult result = factory ? factory(request) : openBuiltinTransport(request);
    if (!result.transport) {
        lastError_ = result.message;
        log_.note("open failed: " + result.message);
        return result.error < 0 ? result.error : QTX_ERR_IO;
    }
    transport_ = std::move(result.transport);
    lastError_.clear();
    log_.note("opened " + transport_->describe());
    return 0;
}

int PortLibrary::close() {
    if (!transport_) return 0;
    log_.note("closed " + transport_->describe());
    transport_.reset();
    pending_.clear();
    skippingLine_ = false;
    return 0;
}

int PortLibrary::write(std::string_view bytes) {
    if (!transport_) return QTX_ERR_NOT_OPEN;
    log_.sent(bytes);
    const int result = transport_->write(bytes);
    if (result < 0) log_.note("write failed");
    return result;
}

ReceiveStatus PortLibrary::read(std::string& out, size_t maximum, int terminator, int timeoutMs) {
    out.clear();
    if (!transport_) return ReceiveStatus::Closed;
    const auto deadline = clock().now() + std::chrono::milliseconds(timeoutMs);
    auto complete = [&]() -> std::optional<size_t> {
        if (terminator >= 0) {
            const auto end = pending_.find(static_cast<char>(terminator));
            if (end != std::string::npos && end < maximum) return end + 1;
        }
        if (pending_.size() >= maximum) return maximum;
        return std::nullopt;
    };
    ReceiveStatus status = ReceiveStatus::Data;
    std::optional<size_t> take;
    ReadWaitNotice notice(timeoutMs);
    while (skipRestOfLine(), !(take = complete())) {
        const auto sliceEnd = notice.sliceEnd(deadline);
        status = transport_->receive(pending_, sliceEnd);
        notice.poll();
        if (status == ReceiveStatus::Timeout && sliceEnd < deadline) continue;
        if (status != ReceiveStatus::Data) break;
    }
    notice.finish();
    const size_t n = take.value_or(pending_.size());
    out = pending_.substr(0, n);
    pending_.erase(0, n);
    // The rest of a line longer than the caller's buffer must not pass for the next answer.
    skippingLine_ = take && terminator >= 0 && !out.empty() && out.back() != static_cast<char>(terminator);
    log_.received(out, status == ReceiveStatus::Timeout && !take);
    if (take) return ReceiveStatus::Data;
    if (status == ReceiveStatus::Closed) log_.note("the connection was closed by the other side");
    return status;
}

void PortLibrary::skipRestOfLine() {
    if (!skippingLine_) return;
    const auto end = pending_.find('\n');
    if (end == std::string::npos) {
        pending_.clear();
        return;
    }
    pending_.erase(0, end + 1);
    skippingLine_ = false;
}

void PortLibrary::discardInput() {
    pending_.clear();
    if (transport_) transport_->discardInput();
}

int PortLibrary::setBreak(bool on) {
    if (!transport_) return QTX_ERR_NOT_OPEN;
    return transport_->setBreak(on);
}

}  // namespace linkpad
