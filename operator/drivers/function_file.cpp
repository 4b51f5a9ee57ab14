#include "operator/drivers/function_file.h"

#include <QDir>
#include <QFile>
#include <limits>
#include <optional>

#include "operator/shell/config_fields.h"
#include "operator/shell/operator_ui.h"

namespace quorvel {
namespace {

constexpr const char* kMaximumReached =
    "Maximum function entries in kx configuration file reached! Rest ignored.";
constexpr const char* kWrongDirectory = "Wrong directory name for KX download!";
constexpr const char* kProcessorFileMissing =
    "KX configuration file kx43.cfg in this directory not found!";
constexpr const char* kKx33FileMissing =
    "KX33 configuration file kx33.cfg in this directory not found!";
constexpr int kShortestDirectoryName = 9;
// Directories of firmware older than this carry no function file.
constexpr const char* kFirstVersionWithFunctionFile = "200";

QString formatErrorText(FunctionFileKind kind, bool anyEntry) {
    const QString file = kind == FunctionFileKind::Kx33 ? "KX33 configuration file kx33.cfg"
                                                        : "KX configuration file kx43.cfg";
    return "Error in " + file + (anyEntry ? "! Try to continue." : "! Abort!");
}

// The fields of the file in order; the empty field behind a comma that ends a line is none.
class FieldStream {
  public:
    explicit FieldStream(QString text) : reader_(std::move(text)) {}

    std::optional<QString> text() {
        while (auto field = reader_.next())
            if (!field->trailing) return field->text;
        return std::nullopt;
    }
    std::optional<int> number() {
        const auto field = text();
        if (!field) return std::nullopt;
        const auto value = FieldNumber(*field);
        if (!value || *value < std::numeric_limits<int>::min() ||
            *value > std::numeric_limits<int>::max())
            return std::nullopt;
        return static_cast<int>(*value);
    }
    bool atEnd() { return reader_.atEnd(); }

  private:
    ConfigFieldReader reader_;
};

// `count` file names; the processor keeps them all as "#a#b", KX33 the last one.
bool readFileNames(FieldStream& fields, int count, FunctionFileKind kind, QString& files) {
    for (int i = 0; i < count; ++i) {
        const auto name = fields.text();
        if (!name) return false;
        files = kind == FunctionFileKind::Kx33 ? *name : files + "#" + *name;
    }
    return true;
}

bool readKx33Fields(FieldStream& fields, ProcessorFunction& entry) {
    const auto first = fields.number();
    const auto last = first ? fields.number() : std::nullopt;
    const auto count = last ? fields.number() : std::nullopt;
    if (!count) return false;
    entry.firstBlock = *first;
    entry.lastBlock = *last;
    entry.fileCount = *count;
    return readFileNames(fields, *count, FunctionFileKind::Kx33, entry.files);
}

// The fields up to "##"; another record's opening field on the way is a format error.
bool skipToRecordEnd(FieldStream& fields) {
    while (const auto field = fields.text()) {
        if (*field == "##") return true;
        if (field->startsWith('#') && field->mid(1, 1) != "#") return false;
    }
    return false;
}

std::optional<ProcessorFunction> readRecord(FieldStream& fields, FunctionFileKind kind) {
    ProcessorFunction entry;
    const auto name = fields.text();
    if (!name || !name->startsWith('#')) return std::nullopt;
    entry.name = name->mid(1);
    const auto mode = fields.text();
    const auto target = fields.text();
    const auto version = fields.text();
    const auto question = fields.text();
    // Fields run out for good: a question read means the fields before it were read too.
    const auto style = question ? fields.number() : std::nullopt;
    if (!style) return std::nullopt;
    entry.mode = *mode == "-" ? QString() : *mode;
    entry.target = *target;
    entry.question = *question;
    entry.questionStyle = *style;
    if (kind == FunctionFileKind::Kx33) {
        QStringList tokens = version->split(' ', Qt::SkipEmptyParts);
        entry.minimumVersion = tokens.value(0);
        entry.versionTokens = tokens.mid(1, 3);
        if (!readKx33Fields(fields, entry)) return std::nullopt;
    } else {
        entry.minimumVersion = *version;
        const auto count = fields.number();
        if (!count) return std::nullopt;
        entry.fileCount = *count;
        if (!readFileNames(fields, *count, kind, entry.files)) return std::nullopt;
    }
    if (!skipToRecordEnd(fields)) return std::nullopt;
    return entry;
}

void readRecords(const QString& text, FunctionFileKind kind, FunctionFile& file) {
    FieldStream fields(text);
    while (!fields.atEnd()) {
        auto entry = readRecord(fields, kind);
        if (!entry) {
            file.formatError = true;
            file.aborted = file.entries.empty();
            file.messages << formatErrorText(kind, !file.entries.empty());
            return;
        }
        file.entries.push_back(std::move(*entry));
        if (static_cast<int>(file.entries.size()) == FunctionFile::kMaximumEntries) {
            file.messages << kMaximumReached;
            return;
        }
    }
}

// The path of `name` in `directory`, matched without regard to case; empty when none exists.
QString findFile(const QString& directory, const QString& name) {
    const QDir dir(directory);
    if (QFile::exists(dir.filePath(name))) return dir.filePath(name);
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return {};
}

FunctionFile aborted(const QString& message) {
    FunctionFile file;
    file.aborted = true;
    file.messages << message;
    return file;
}

}  // namespace

std::vector<ProcessorFunction> BuiltinProcessorFunctions() {
    ProcessorFunction download;
    download.name = "Download KX43 firmware";
    download.target = "KX";
    download.minimumVersion = "0";
    download.fileCount = 10;
    download.question = "-";
    download.files =
        "#kx43nmi.exe#kx43.exe#kx43lite.exe#kx43lev2.exe#kx43emm.exe#kx43ini.cnf#services"
        "#autoexec.bat#3c589pd.com#ethdrv.exe";
    ProcessorFunction loader1;
    loader1.name = "KX43 Loader1 download";
    loader1.mode = "S";
    loader1.target = "KX";
    loader1.minimumVersion = "0";
    loader1.fileCount = 1;
    loader1.question =
        "If this function fails, your KX43 will\rnot be operational anymore!\r\r"
        "Are you sure to download loader1 for KX?";
    loader1.questionStyle = kYesNo;
    loader1.files = "#kx43load.exe";
    return {download, loader1};
}

FunctionFile ReadFunctionFile(const QString& directory, const QString& directoryName,
                              const QString& fileName, FunctionFileKind kind) {
    const bool processor = kind == FunctionFileKind::Processor;
    if (processor && directoryName.size() < kShortestDirectoryName) return aborted(kWrongDirectory);
    const QString path = findFile(directory, fileName);
    if (path.isEmpty()) {
        if (!processor) return aborted(kKx33FileMissing);
        if (directoryName.mid(5, 3) >= kFirstVersionWithFunctionFile)
            return aborted(kProcessorFileMissing);
        FunctionFile builtin;
        builtin.entries = BuiltinProcessorFunctions();
        return builtin;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return aborted(formatErrorText(kind, false));
    FunctionFile result;
    result.fromFile = true;
    readRecords(QString::fromLatin1(file.readAll()), kind, result);
    return result;
}

}  // namespace quorvel
