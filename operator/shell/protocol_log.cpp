#include "operator/shell/protocol_log.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <filesystem>

#include <unistd.h>

namespace quorvel {
namespace {

std::optional<QString> readWholeFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return QString::fromLocal8Bit(file.readAll());
}

}  // namespace

QStringList SplitLogLines(const QString& text) {
    static const QRegularExpression lineEnd("\r\n|\r|\n");
    QStringList lines = text.split(lineEnd);
    // A line end at the very end closes the last line; it does not open another.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

ProtocolLog::ProtocolLog(Now now) : now_(std::move(now)) {}

void ProtocolLog::write(const QString& text) {
    if (!active_) return;
    const QLocale locale = QLocale::system();
    const QDateTime at = now_();
    buffer_ += "\r\n" + locale.toString(at.date(), QLocale::ShortFormat) + " " +
               locale.toString(at.time(), QLocale::LongFormat) + ": " + text;
}

void ProtocolLog::flush() {
    if (buffer_.isEmpty() || !active_) return;
    QFile file(fileName_);
    if (file.open(QIODevice::Append)) file.write(buffer_.toLocal8Bit());
    buffer_.clear();
}

void ProtocolLog::trim(int keptLines) {
    if (!active_ || !QFile::exists(fileName_)) return;
    if (WriteTrimmedCopy(fileName_, keptLines) == TrimCopy::Written) ReplaceWithTrimmedCopy(fileName_);
}

QString TrimmedCopyName(const QString& logFile) { return logFile + ".trim"; }

TrimCopy WriteTrimmedCopy(const QString& logFile, int keptLines) {
    const auto text = readWholeFile(logFile);
    if (!text) return TrimCopy::Failed;
    const QStringList lines = SplitLogLines(*text);
    const qsizetype n = lines.size();
    if (n <= keptLines) return TrimCopy::NotNeeded;
    // Lines n - keptLines .. n, counted from 1.
    const QByteArray kept = lines.mid(n - keptLines - 1).join("\r\n").toLocal8Bit();
    QFile copy(TrimmedCopyName(logFile));
    const bool written = copy.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         copy.write(kept) == kept.size() && copy.flush() &&
                         ::fsync(copy.handle()) == 0;
    copy.close();
    if (!written) {
        copy.remove();
        return TrimCopy::Failed;
    }
    return TrimCopy::Written;
}

bool ReplaceWithTrimmedCopy(const QString& logFile) {
    std::error_code error;
    std::filesystem::rename(TrimmedCopyName(logFile).toStdString(), logFile.toStdString(), error);
    return !error;
}

ProtocolLog::ViewerText ProtocolLog::viewerText() {
    ViewerText v;
    v.text = fileName_ + "\r" + QString(fileName_.size(), '-') + "\r";
    if (!QFile::exists(fileName_)) {
        v.text += "\r*** log file not found! ***\r";
        return v;
    }
    flush();
    const auto text = readWholeFile(fileName_);
    if (!text) {
        v.text += "\r*** log file not found! ***\r";
        return v;
    }
    v.found = true;
    const QStringList lines = SplitLogLines(*text);
    const qsizetype first = std::max<qsizetype>(0, lines.size() - kViewedLines - 1);
    for (qsizetype i = first; i < lines.size(); ++i) v.text += "\r" + lines[i];
    return v;
}

}  // namespace quorvel
