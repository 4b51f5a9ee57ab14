#include "operator/shell/config_files.h"

#include <QDir>
#include <QFile>

#include "operator/shell/config_records.h"
#include "operator/shell/message_service.h"
#include "operator/shell/protocol_log.h"

namespace quorvel {
namespace {

std::optional<QString> readConfigFile(const ConfigReadContext& context, const QString& name) {
    const QString path = FindFileIgnoringCase(context.programDirectory, name);
    if (path.isEmpty()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return QString::fromLatin1(file.readAll());
}

void warn(const ConfigReadContext& context, const QString& text) {
    context.messages.ShowMessage(text, kIconExclamation);
}

// One message for every record of `fileName` that was refused.
void reportProblems(const ConfigReadContext& context, const QString& fileName,
                    const QStringList& problems) {
    if (problems.isEmpty()) return;
    warn(context, "Configuration file " + fileName + " has records that were not accepted:\r" +
                      problems.join("\r") + "\rPlease check setup of Quorlink!");
}

RecordsRead readRecords(const ConfigReadContext& context, ConfigFieldReader& reader,
                        const QString& fileName, const RecordLayout& layout) {
    RecordsRead read = ReadRecords(reader, layout);
    reportProblems(context, fileName, read.problems);
    return read;
}

AmplifierRow amplifierRow(const ConfigRecord& r, bool withSecondPrefix) {
    return {r.number(0), r.number(1), r.text(2), r.number(3), r.text(4),
            withSecondPrefix ? r.text(5) : QString()};
}

NodePodRow nodePodRow(const ConfigRecord& r, bool withRevision3Loader) {
    return {r.number(0), r.text(1),  r.number(2),
            r.number(3), r.number(4), withRevision3Loader ? r.number(5) : 65536};
}

}  // namespace

QString FindFileIgnoringCase(const QString& directory, const QString& name) {
    const QDir dir(directory);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    }
    return {};
}

void ReadAmplifierTable(const ConfigReadContext& context, std::vector<AmplifierRow>& rows) {
    rows.clear();
    const auto text = readConfigFile(context, "WS.CFG");
    if (!text) {
        warn(context, "Amplifier configuration file ws.cfg does not exist!\r"
                      "Please check setup of Quorlink!");
        return;
    }
    ConfigFieldReader reader(*text);
    const auto first = reader.next();
    const bool withHeader = first && first->text == "QTX";
    if (withHeader) {
        const auto version = reader.next();
        if (!version || version->text != "V1") {
            warn(context, "Amplifier configuration file ws.cfg version not supported!\r"
                          "Please check setup of Quorlink or update Quorlink!");
            return;
        }
        context.log.write("WS.cfg configuration file V1 found.");
    } else {
        reader = ConfigFieldReader(*text);
    }
    const RecordLayout layout{withHeader ? 6u : 5u, {0, 1, 3}, ConfigTables::kAmplifierRows};
    for (const auto& record : readRecords(context, reader, "ws.cfg", layout).records) {
        rows.push_back(amplifierRow(record, withHeader));
    }
}

void ReadNodePodTable(const ConfigReadContext& context, std::vector<NodePodRow>& rows) {
    rows.clear();
    const auto text = readConfigFile(context, "NodePod.CFG");
    if (!text) {
        warn(context, "NODEPOD configuration file NodePod.cfg does not exist!\r"
                      "Please check setup of Quorlink!");
        return;
    }
    ConfigFieldReader reader(*text);
    const auto first = reader.next();
    if (!first || first->text != "QTX") {
        warn(context, "NODEPOD configuration file NodePod.cfg not valid!\r"
                      "Please check setup of Quorlink!");
        return;
    }
    const auto version = reader.next();
    const QString v = version ? version->text : QString();
    if (v != "V1" && v != "V2") {
        warn(context, "NODEPOD configuration file NodePod.cfg version not supported!\r"
                      "Please check setup of Quorlink or update Quorlink!");
        return;
    }
    const bool v2 = v == "V2";
    context.log.write(v2 ? "NodePod.cfg configuration file V2 found."
                         : "NodePod.cfg configuration file V1 found (old version).");
    const RecordLayout layout{v2 ? 6u : 5u,
                              v2 ? std::set<size_t>{0, 2, 3, 4, 5} : std::set<size_t>{0, 2, 3, 4},
                              ConfigTables::kNodePodRows};
    for (const auto& record : readRecords(context, reader, "NodePod.cfg", layout).records) {
        rows.push_back(nodePodRow(record, v2));
    }
    if (!v2 && context.startMode.isEmpty()) {
        warn(context, "Old NODEPOD configuration file NodePod.cfg version V1 found!\r"
                      "Please check setup of Quorlink or update NodePod.cfg file!\r"
                      "Continue with default settings for NODEPOD download.");
    }
}

void ReadProcessorTable(const ConfigReadContext& context, std::vector<ProcessorRow>& rows) {
    rows.clear();
    const auto text = readConfigFile(context, "KX.CFG");
    if (!text) {
        warn(context, "KXxx configuration file kx.cfg does not exist!");
        return;
    }
    ConfigFieldReader reader(*text);
    const RecordLayout layout{4, {}, ConfigTables::kProcessorRows};
    for (const auto& r : readRecords(context, reader, "kx.cfg", layout).records) {
        rows.push_back({r.text(0), r.text(1), r.text(2), r.text(3)});
    }
}

void ReadConfigurationFiles(const ConfigReadContext& context, ConfigTables& tables) {
    tables.controllers = BuiltinControllerTable();
    ReadAmplifierTable(context, tables.amplifiers);
    ReadNodePodTable(context, tables.nodePods);
    ReadProcessorTable(context, tables.processors);
}

}  // namespace quorvel
