#pragma once
// The operator program's protocol log: entries collect in memory and are appended to the log
// file when flushed. Each entry is CR LF, the local date and time, ": " and the text.
#include <QDateTime>
#include <QString>
#include <functional>

namespace quorvel {

class ProtocolLog {
public:
    static constexpr int kKeptLines = 5000;
    static constexpr int kViewedLines = 1000;

    using Now = std::function<QDateTime()>;
    explicit ProtocolLog(Now now = &QDateTime::currentDateTime);

    void setFileName(const QString& fileName) { fileName_ = fileName; }
    const QString& fileName() const { return fileName_; }
    void setActive(bool active) { active_ = active; }
    bool active() const { return active_; }
    const QString& pending() const { return buffer_; }

    // WriteProtocol: one entry into the buffer while the log is on.
    void write(const QString& text);
    // FlushProtocol: appends the buffer to the file. A file that cannot be written loses the
    // entries; the program goes on.
    void flush();
    // TrimProtocol: keeps the newest lines of a longer file. The shortened file is written
    // beside the old one and then replaces it, so a crash never loses the log.
    void trim(int keptLines = kKeptLines);

    struct ViewerText {
        QString text;
        bool found = false;
    };
    // ShowProtocolFile's text: the file name, a dash line and the newest lines.
    ViewerText viewerText();

private:
    Now now_;
    QString fileName_;
    bool active_ = false;
    QString buffer_;
};

// Trimming in two steps, so that the log survives a crash between them: the newest lines are
// written to "<log>.trim" beside the log, which then replaces the log in one rename.
enum class TrimCopy { NotNeeded, Written, Failed };
QString TrimmedCopyName(const QString& logFile);
TrimCopy WriteTrimmedCopy(const QString& logFile, int keptLines);
bool ReplaceWithTrimmedCopy(const QString& logFile);

// The file's lines as the log reader sees them: CR LF, CR or LF end a line.
QStringList SplitLogLines(const QString& text);

}  // namespace quorvel
