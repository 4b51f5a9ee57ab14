#pragma once
// The operator program's services for the fuzz targets: a user interface that answers every box
// with OK, a protocol log that stays in memory, and the configuration context around them.
#include <QDateTime>
#include <QTemporaryDir>

#include "operator/shell/config_files.h"
#include "operator/shell/message_service.h"
#include "operator/shell/protocol_log.h"
#include "tests/operator/scripted_ui.h"

namespace fuzz {

struct OperatorServices {
    operator_tests::ScriptedUi ui;
    quorvel::ProtocolLog log{[] { return QDateTime(QDate(2026, 1, 1), QTime(0, 0)); }};
    quorvel::MessageService messages{ui, log};
    QTemporaryDir programDirectory;

    quorvel::ConfigReadContext context() { return {programDirectory.path(), "0", messages, log}; }
    // Puts `text` into the program directory as `name` (the only file there).
    void holding(const QString& name, const uint8_t* data, size_t size) {
        QFile file(programDirectory.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    void forget() { ui.messages.clear(); }
};

}  // namespace fuzz
