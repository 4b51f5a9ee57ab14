#include "operator/drivers/upload_files.h"

#include <QFile>
#include <QFileInfo>

namespace quorvel {
namespace {

constexpr qint64 kBlockBytes = 128;
constexpr qint64 kInternalBlocks = 1024;
constexpr qint64 kExternalBlocks = 4096;
// EEPROM files are text: 4 header lines and 32 data lines; counted as lines, not bytes.
constexpr qint64 kEepromLines = 36;
constexpr qint64 kCountLines = -1;

qint64 lineCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    return file.readAll().count('\n');
}

}  // namespace

ExpectedSize InternalFlashSize() { return {kInternalBlocks * kBlockBytes, 1, 0, false}; }

ExpectedSize ExternalFlashSize(bool optional) {
    return {0, kBlockBytes, kExternalBlocks * kBlockBytes, optional};
}

ExpectedSize EepromFileSize(bool optional) { return {kEepromLines, kCountLines, 0, optional}; }

UploadFiles::~UploadFiles() { discard(); }

// An empty file where the module may deliver none (no external data) counts as none.
bool UploadFiles::delivered(const File& file) {
    const QFileInfo info(file.written);
    return info.exists() && (info.size() > 0 || !file.expected.optional);
}

void UploadFiles::add(const QString& written, const QString& target, ExpectedSize expected) {
    QFile::remove(written);
    files_.push_back({written, target, expected});
}

QString UploadFiles::incomplete() const {
    for (const File& file : files_) {
        if (!delivered(file)) {
            if (file.expected.optional) continue;
            return file.target + " was not delivered";
        }
        const QFileInfo info(file.written);
        const ExpectedSize& e = file.expected;
        if (e.multiple == kCountLines) {
            const qint64 lines = lineCount(file.written);
            if (lines != e.exactly) {
                return file.target + " holds " + QString::number(lines) + " lines, expected " +
                       QString::number(e.exactly);
            }
            continue;
        }
        const qint64 size = info.size();
        const bool complete = e.exactly ? size == e.exactly
                                        : size > 0 && size % e.multiple == 0 && size <= e.maximum;
        if (!complete) {
            return file.target + " holds " + QString::number(size) + " bytes, expected " +
                   (e.exactly ? QString::number(e.exactly)
                              : "1 to " + QString::number(e.maximum / e.multiple) + " blocks of " +
                                    QString::number(e.multiple));
        }
    }
    return {};
}

bool UploadFiles::commit(QString& error) {
    for (const File& file : files_) {
        if (QFileInfo::exists(file.target) && !QFile::remove(file.target)) {
            error = file.target;
            return false;
        }
        if (delivered(file) && !QFile::rename(file.written, file.target)) {
            error = file.target;
            return false;
        }
    }
    return true;
}

void UploadFiles::discard() {
    for (const File& file : files_) QFile::remove(file.written);
}

}  // namespace quorvel
