#include "operator/shell/installation_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "operator/shell/config_files.h"

namespace quorvel {

QString ProgramDirectory() {
    const QFileInfo program(QStringLiteral("/proc/self/exe"));
    const QString target = program.symLinkTarget();
    return target.isEmpty() ? QStringLiteral(".") : QFileInfo(target).absolutePath();
}

QString ConfigDirectory(const QString& programDirectory) {
    const QString table = QStringLiteral("ws.cfg");
    if (!FindFileIgnoringCase(programDirectory, table).isEmpty()) return programDirectory;
    const QString data =
        QDir::cleanPath(QDir(programDirectory).filePath(QStringLiteral(QUORVEL_DATA_FROM_PROGRAM)));
    if (!FindFileIgnoringCase(data, table).isEmpty()) return data;
    return programDirectory;
}

QString WorkFolderBase(const QString& programDirectory) {
    const QString own = ProgramDirectory();
    if (ConfigDirectory(own) == own) return programDirectory;
    const QString base =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/quorvel";
    QDir().mkpath(base + "/Download");
    QDir().mkpath(base + "/Upload");
    return base;
}

}  // namespace quorvel
