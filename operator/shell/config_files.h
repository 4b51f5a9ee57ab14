#pragma once
// Reads "ws.cfg", "NodePod.cfg" and "kx.cfg" from the program directory into the tables, with the
// messages and protocol lines the operator knows. Records that do not fit (a field that is not a
// number, more rows than a table holds, a record cut short at the end) are skipped, and the
// operator is told the file and line.
#include <QString>

#include "operator/shell/config_tables.h"

namespace quorvel {

class MessageService;
class ProtocolLog;

struct ConfigReadContext {
    QString programDirectory;
    QString startMode;
    MessageService& messages;
    ProtocolLog& log;
};

// Order: built-in table, "ws.cfg", "NodePod.cfg", "kx.cfg".
void ReadConfigurationFiles(const ConfigReadContext& context, ConfigTables& tables);

void ReadAmplifierTable(const ConfigReadContext& context, std::vector<AmplifierRow>& rows);
void ReadNodePodTable(const ConfigReadContext& context, std::vector<NodePodRow>& rows);
void ReadProcessorTable(const ConfigReadContext& context, std::vector<ProcessorRow>& rows);

// The file in `directory` whose name equals `name` without regard to case; empty when none.
QString FindFileIgnoringCase(const QString& directory, const QString& name);

}  // namespace quorvel
