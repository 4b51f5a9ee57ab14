#include "operator/forms/library_waits.h"

#include <QApplication>

#include "operator/shell/wait_notice_text.h"

namespace quorvel::forms {

LibraryWaits::LibraryWaits(MainWindow& window) : window_(window) {
    QTX_SetWaitNotice(&LibraryWaits::notice, this);
}

LibraryWaits::~LibraryWaits() {
    QTX_SetWaitNotice(nullptr, nullptr);
    window_.setWaitNotice({});
}

void LINKPAD_CALL LibraryWaits::notice(int32_t totalMs, int32_t waitedMs, void* context) {
    auto* self = static_cast<LibraryWaits*>(context);
    self->window_.setWaitNotice(WaitNoticeText(totalMs, waitedMs));
    // Paint and timers only: the operator's clicks wait until the operation is over.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace quorvel::forms
