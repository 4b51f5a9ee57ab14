#include "operator/drivers/loader2_file.h"

#include <QDir>
#include <QFileInfo>

namespace quorvel {

QString Loader2Extension(const QString& startMode) {
    return startMode == "P" || startMode == "O" ? "lp2" : "ld2";
}

QString FindLoader2File(const QString& applicationFile, const QString& extension) {
    const QFileInfo application(applicationFile);
    const QString stem = application.fileName().section('.', 0, 0);
    if (stem.isEmpty()) return {};
    QDir directory = application.dir();
    directory.setNameFilters({stem + "p*." + extension});
    directory.setFilter(QDir::Files);
    directory.setSorting(QDir::Name | QDir::IgnoreCase);
    const QStringList found = directory.entryList();
    return found.isEmpty() ? QString() : directory.filePath(found.front());
}

}  // namespace quorvel
