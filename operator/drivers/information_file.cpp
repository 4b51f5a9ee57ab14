#include "operator/drivers/information_file.h"

#include <QFile>
#include <QTextStream>

namespace quorvel {
namespace {

// The fields of one line: split at commas outside double quotation marks, each trimmed and
// without its quotation marks.
QStringList lineFields(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

}  // namespace

std::optional<QString> FindInformationFile(const QDir& directory, const QString& name) {
    if (name.isEmpty()) return std::nullopt;
    if (directory.exists(name) && QFileInfo(directory.filePath(name)).isFile()) {
        return directory.filePath(name);
    }
    for (const QString& entry : directory.entryList(QDir::Files)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return directory.filePath(entry);
    }
    return std::nullopt;
}

std::optional<QStringList> ReadInformationFields(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return std::nullopt;
    QTextStream stream(&file);
    QStringList fields;
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (line.trimmed().isEmpty()) continue;
        fields << lineFields(line);
    }
    return fields;
}

}  // namespace quorvel
