// The port library's clock as C calls: the device-link library paces its commands on the same
// clock the ports time out on (a test's virtual clock included).
#include "linkpad/hooks.h"
#include "linkpad/linkpad.h"

extern "C" {

int32_t QTX_WaitMs(int32_t ms) {
    linkpad::clock().waitMs(ms);
    return 0;
}

uint32_t QTX_GetTickCount(void) {
    return static_cast<uint32_t>(linkpad::toMs(linkpad::clock().now()));
}

}  // extern "C"
