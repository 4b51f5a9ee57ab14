#pragma once
// The entry texts of a protocol log, without the date and time before ": ".
#include <QFile>
#include <QStringList>

#include "operator/shell/protocol_log.h"

namespace testing_support {

inline QStringList LogEntryTexts(const QString& text) {
    QStringList texts;
    for (const QString& line : quorvel::SplitLogLines(text)) {
        const qsizetype colon = line.indexOf(": ");
        if (colon >= 0) texts << line.mid(colon + 2);
    }
    return texts;
}

// The file's text, empty when it cannot be read.
inline QString LogFileText(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

}  // namespace testing_support
