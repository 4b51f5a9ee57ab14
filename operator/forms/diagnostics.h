#pragma once
// "Save diagnostics": one text file the operator can send to service, with the program and
// library versions, what the last operation did, the rack as the last scan saw it, and the
// settings, protocol log and traffic log files as they are.
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace quorvel::forms {

struct Diagnostics {
    QString libraryLocation;
    QString summary;     // the run summary as text
    QJsonObject report;  // the run report
    QString inventory;   // one line per device
    QStringList files;   // added whole (a long file's end), each under its path
};

// The file's text.
QString DiagnosticsText(const Diagnostics& diagnostics);
// Writes the text to `path` through a temporary file, so a failed write leaves no partial file;
// false with `error` set when it could not be written.
bool SaveDiagnostics(const QString& path, const Diagnostics& diagnostics, QString* error);

}  // namespace quorvel::forms
