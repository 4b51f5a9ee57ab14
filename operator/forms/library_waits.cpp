#include "operator/forms/library_waits.h"

#include <QApplication>
#include <utility>

#include "operator/shell/wait_notice_text.h"

namespace quorvel::forms {

namespace {
LibraryWaits* latest = nullptr;  // the one the port library tells
}

LibraryWaits::LibraryWaits(Show show) : show_(std::move(show)), previous_(latest) {
    latest = this;
    QTX_SetWaitNotice(&LibraryWaits::notice, this);
}

LibraryWaits::~LibraryWaits() {
    latest = previous_;
    QTX_SetWaitNotice(previous_ ? &LibraryWaits::notice : nullptr, previous_);
    show_({});
}

void LINKPAD_CALL LibraryWaits::notice(int32_t totalMs, int32_t waitedMs, void* context) {
    auto* self = static_cast<LibraryWaits*>(context);
    self->show_(WaitNoticeText(totalMs, waitedMs));
    // Paint and timers only: the operator's clicks wait until the operation is over.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace quorvel::forms
