#include "operator/drivers/firmware_file_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "link/images/intel_hex.h"
#include "link/images/srecord.h"

namespace quorvel {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The first character that is not white space, EOF for an empty file; the file is rewound.
int firstMark(std::FILE* file) {
    int c = EOF;
    while ((c = std::fgetc(file)) != EOF && std::isspace(c)) {
    }
    std::rewind(file);
    return c;
}

}  // namespace

QString FirmwareFileProblem(const QString& path) {
    const QFileInfo info(path);
    const QString name = "The firmware file " + QDir::toNativeSeparators(path);
    if (!info.isFile()) return name + " does not exist.";
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file) return name + " cannot be read.";
    int64_t lowest = -1;
    int64_t end = -1;
    int result = -1;
    switch (firstMark(file.get())) {
        case 'S':
            result = quorlink::ScanSRecordRange(file.get(), 0, INT64_MAX, lowest, end);
            break;
        case ':':
            result = quorlink::ScanIntelHexRange(file.get(), 0, -1, lowest, end);
            break;
        case EOF:
            return name + " is empty.";
        default:
            break;
    }
    if (result == -11) return name + " holds no firmware data.";
    if (result != 0)
        return name + " is damaged: it is not a complete S-record or Intel HEX file.";
    return {};
}

}  // namespace quorvel
