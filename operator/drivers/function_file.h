#pragma once
// The function file of a processor firmware directory ("KX43.CFG", "KXxx.CFG", "KX33.CFG"): the
// functions the operator may run with that firmware. Records of comma-separated fields, each
// opened by "#" + name and closed by a field "##"; at most ten are read.
#include <QString>
#include <QStringList>
#include <vector>

namespace quorvel {

enum class FunctionFileKind {
    Processor,  // "KX43.CFG" or "KXxx.CFG": a file list per function
    Kx33,       // "KX33.CFG": one image file and its block range
};

struct ProcessorFunction {
    QString name;
    QString mode;  // "", "A" or "S"; other letters hide the function
    QString target;
    QString minimumVersion;
    int fileCount = 0;  // negative: choosing the function cancels it
    QString question;   // "-": none
    int questionStyle = 0;
    QString files;  // processor: "#" + file 1 + "#" + file 2 ...; KX33: the image file
    int firstBlock = 0;
    int lastBlock = 0;
    QStringList versionTokens;  // KX33: the version field's further tokens, kept as read
};

struct FunctionFile {
    static constexpr int kMaximumEntries = 10;

    std::vector<ProcessorFunction> entries;
    bool fromFile = false;     // false: the built-in entries
    bool formatError = false;  // the file was malformed after its last complete entry
    bool aborted = false;      // nothing can be chosen; `messages` says why
    QStringList messages;      // shown to the operator in this order (exclamation)
};

// Reads `fileName` in `directory` (the download directory's firmware directory, whose last part
// is `directoryName`). The name is matched without regard to case. A processor directory without
// the file uses the built-in entries when its version digits are below "200".
FunctionFile ReadFunctionFile(const QString& directory, const QString& directoryName,
                              const QString& fileName, FunctionFileKind kind);

// The built-in entries of an old processor firmware directory without a function file.
std::vector<ProcessorFunction> BuiltinProcessorFunctions();

}  // namespace quorvel
