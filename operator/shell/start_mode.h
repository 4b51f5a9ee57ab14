#pragma once
// The command-line start modes "S", "A", "P", "PS" and "O": which hidden menu entries they show,
// which they mark, and the window title's suffix.
#include <QString>
#include <QStringList>

namespace quorvel {

struct StartModeEffects {
    QString startMode;     // "P" for a "PS" start
    QString startSubMode;  // "S" for a "PS" start, else empty
    QStringList visibleEntries;
    QStringList checkedEntries;
    QStringList enabledEntries;
    QString titleSuffix;
};

// `commandLine` is compared case-sensitively; anything else is a normal start.
StartModeEffects ApplyStartMode(const QString& commandLine);

bool IsServiceMode(const QString& startMode);  // "S" or "A"

}  // namespace quorvel
