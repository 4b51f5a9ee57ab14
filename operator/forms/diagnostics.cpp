#include "operator/forms/diagnostics.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

#include "operator/shell/program_version.h"

namespace quorvel::forms {
namespace {

// Logs are trimmed by the program, but a traffic log can grow: only its end is kept.
constexpr qint64 kMaximumFileBytes = 4 * 1024 * 1024;

QString section(const QString& title) { return "\n===== " + title + " =====\n"; }

QString fileContent(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "(not found)\n";
    const qint64 size = file.size();
    QString text;
    if (size > kMaximumFileBytes) {
        file.seek(size - kMaximumFileBytes);
        text = QString("(the first %1 bytes are left out)\n").arg(size - kMaximumFileBytes);
    }
    text += QString::fromLocal8Bit(file.readAll());
    text.replace("\r\n", "\n");
    return text;
}

}  // namespace

QString DiagnosticsText(const Diagnostics& diagnostics) {
    QString text =
        "Quorvel diagnostics, " + QDateTime::currentDateTime().toString(Qt::ISODate) + "\n";
    text += section("versions");
    text += QString("Quorvel %1\nQt %2\nQuorlink %3\n")
                .arg(QString(kProgramVersion), QString(qVersion()), diagnostics.libraryLocation);
    text += section("last operation") + diagnostics.summary;
    text += section("run report") +
            QString::fromUtf8(QJsonDocument(diagnostics.report).toJson(QJsonDocument::Indented));
    text += section("rack as last scanned") + diagnostics.inventory;
    for (const QString& path : diagnostics.files) text += section(path) + fileContent(path);
    return text;
}

bool SaveDiagnostics(const QString& path, const Diagnostics& diagnostics, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) ||
        file.write(DiagnosticsText(diagnostics).toUtf8()) < 0 || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace quorvel::forms
