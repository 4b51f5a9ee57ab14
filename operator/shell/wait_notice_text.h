#pragma once
// What the operator reads while the library waits for a module: the time still left of the
// wait, counting down in whole seconds.
#include <QString>

namespace quorvel {

// "waiting for the module, up to 8 s" (the rest rounded up); empty once the wait is over.
// `waitingFor` names what is waited for ("the rack" while it restarts).
QString WaitNoticeText(int totalMs, int waitedMs, const QString& waitingFor = "the module");

}  // namespace quorvel
