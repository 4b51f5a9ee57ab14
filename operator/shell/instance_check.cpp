#include "operator/shell/instance_check.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorvel {

QString PrivateTemporaryDirectory() {
    const QString path = QDir::temp().filePath(QString("quorvel-%1").arg(::getuid()));
    ::mkdir(QFile::encodeName(path).constData(), 0700);
    const QFileInfo info(path);
    return info.isDir() && info.ownerId() == ::getuid() ? path : QDir::tempPath();
}

namespace {

// The session's runtime directory; without one (a service, a container, ssh without a login
// session) Qt would warn on stderr and guess, so the locks go to a private directory instead.
QString defaultDirectory() {
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return PrivateTemporaryDirectory();
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? PrivateTemporaryDirectory() : runtime;
}

// An open descriptor holding the lock of `path`, or -1 when another process holds it (or the
// file cannot be opened).
int tryLock(const QString& path, bool& heldByOther) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        heldByOther = true;
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

InstanceCheck::InstanceCheck(const QString& directory) {
    const QDir dir(directory.isEmpty() ? defaultDirectory() : directory);
    QDir().mkpath(dir.path());
    for (int slot = 0; slot < kSlots; ++slot) {
        bool heldByOther = false;
        const int fd = tryLock(dir.filePath(QString("quorvel-%1.lock").arg(slot)), heldByOther);
        othersRunning_ = othersRunning_ || heldByOther;
        if (fd < 0) continue;
        if (ownLock_ < 0) {
            ownLock_ = fd;
        } else {
            ::close(fd);  // closing releases the lock
        }
    }
}

InstanceCheck::~InstanceCheck() {
    if (ownLock_ >= 0) ::close(ownLock_);
}

}  // namespace quorvel
