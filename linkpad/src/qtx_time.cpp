// The port library's clock as C calls: the device-link library paces its commands on the same
// clock the ports time out on (a test's virtual clock included).
#include "linkpad/hooks.h"
#include "linkpad/linkpad.h"
#include "wait_notice.h"

extern "C" {

int32_t QTX_WaitMs(int32_t ms) {
    if (!linkpad::waitNoticeWanted(ms)) {
        linkpad::clock().waitMs(ms);
        return 0;
    }
    linkpad::clock().waitMsTicking(ms, linkpad::kWaitNoticeEveryMs,
                                   [ms](int waited) { linkpad::tellWait(ms, waited); });
    linkpad::tellWait(ms, ms);
    return 0;
}

uint32_t QTX_GetTickCount(void) {
    return static_cast<uint32_t>(linkpad::toMs(linkpad::clock().now()));
}

int32_t QTX_SetWaitNotice(QTX_WaitNoticeProc notice, void* context) {
    linkpad::setWaitNotice(notice, context);
    return 0;
}

}  // extern "C"
