#include "operator/shell/instance_check.h"

#include <QDir>
#include <QStandardPaths>

namespace quorvel {
namespace {

QString defaultDirectory() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

}  // namespace

InstanceCheck::InstanceCheck(const QString& directory)
    : directory_(directory.isEmpty() ? defaultDirectory() : directory) {
    QDir().mkpath(directory_);
    for (int slot = 0; slot < kSlots; ++slot) {
        auto lock = std::make_unique<QLockFile>(lockPath(slot));
        lock->setStaleLockTime(0);  // only a live process keeps its lock
        if (!lock->tryLock(0)) {
            othersRunning_ = true;
            continue;
        }
        if (!own_) {
            own_ = std::move(lock);
        } else {
            lock->unlock();
        }
    }
}

InstanceCheck::~InstanceCheck() = default;

QString InstanceCheck::lockPath(int slot) const {
    return QDir(directory_).filePath(QString("quorvel-%1.lock").arg(slot));
}

}  // namespace quorvel
