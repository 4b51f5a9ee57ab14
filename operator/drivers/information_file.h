#pragma once
// Firmware information files: text lines of comma-separated fields, quoted or not, beside the
// firmware they describe.
#include <QDir>
#include <QString>
#include <QStringList>
#include <optional>

namespace quorvel {

// The file in `directory` named `name`, letter case ignored; nullopt when there is none.
std::optional<QString> FindInformationFile(const QDir& directory, const QString& name);

// Every field of the file in file order; nullopt when it cannot be read.
std::optional<QStringList> ReadInformationFields(const QString& path);

}  // namespace quorvel
