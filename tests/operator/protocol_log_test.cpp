// The protocol log: entries, flushing, trimming to the newest lines without ever losing the log,
// and the viewer's text.
#include "operator/shell/protocol_log.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "temp_dir.h"

using namespace quorvel;

namespace {

class ProtocolLogTest : public ::testing::Test {
  protected:
    ProtocolLogTest() {
        log.setFileName(fileName);
        log.setActive(true);
    }

    void writeFile(const QByteArray& content) {
        testing_support::writeFile(fileName.toStdString(), content.toStdString());
    }
    QByteArray readFile() const {
        return QByteArray::fromStdString(testing_support::readFile(fileName.toStdString()));
    }
    // A log as the program writes it: every entry opens with CR LF.
    static QByteArray entries(int first, int last) {
        QByteArray text;
        for (int i = first; i <= last; ++i) text += "\r\nentry " + QByteArray::number(i);
        return text;
    }

    QTemporaryDir directory;
    QString fileName = QDir(directory.path()).filePath("Quorlink.log");
    ProtocolLog log{[] { return QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)); }};
};

// An inactive log writes nothing; an unwritable file loses the entries quietly.
TEST_F(ProtocolLogTest, EntriesOpenWithCrLfDateTimeAndColonUnlessInactiveOrUnwritable) {
    log.write("-->Scan started.<--");
    const QString pending = log.pending();
    EXPECT_TRUE(pending.startsWith("\r\n"));
    EXPECT_TRUE(pending.endsWith(": -->Scan started.<--"));
    EXPECT_TRUE(pending.contains("05:06:07"));
    log.flush();
    EXPECT_TRUE(log.pending().isEmpty());
    log.write("second");
    const QString second = log.pending();
    log.flush();
    EXPECT_EQ(QString::fromLocal8Bit(readFile()), pending + second);

    log.setActive(false);
    log.write("text");
    log.flush();
    EXPECT_TRUE(log.pending().isEmpty());
    EXPECT_EQ(QString::fromLocal8Bit(readFile()), pending + second);
    log.setActive(true);
    log.setFileName(directory.path() + "/missing/dir/Quorlink.log");
    log.write("text");
    log.flush();
    EXPECT_TRUE(log.pending().isEmpty());
}

// A crash before the replacement or a failed copy keeps the whole log.
TEST_F(ProtocolLogTest, TrimKeepsTheNewest5001LinesOfALongerFileOnlyAndNeverLosesTheLog) {
    // The leading CR LF makes line 1 empty; entries 1..5001 are lines 2..5002.
    writeFile(entries(1, 5001));
    log.trim();
    const QList<QByteArray> lines = readFile().split('\n');
    ASSERT_EQ(lines.size(), 5001);
    EXPECT_EQ(lines.front(), "entry 1\r");
    EXPECT_EQ(lines.back(), "entry 5001");
    EXPECT_FALSE(QFile::exists(TrimmedCopyName(fileName)));

    const QByteArray text = entries(1, 4999);  // 5000 lines with the empty first one
    writeFile(text);
    log.trim();
    EXPECT_EQ(readFile(), text) << "a 5000-line file is left alone";

    // A trimmed log takes new entries on their own lines.
    writeFile(entries(1, 6000));
    log.trim();
    log.write("after");
    log.flush();
    const QList<QByteArray> after = readFile().split('\n');
    EXPECT_EQ(after[after.size() - 2], "entry 6000\r");
    EXPECT_TRUE(after.back().endsWith(": after"));

    const QByteArray longer = entries(1, 5100);
    writeFile(longer);
    // The copy's name is taken by a directory, so the copy cannot be written.
    ASSERT_TRUE(QDir().mkpath(TrimmedCopyName(fileName)));
    log.trim();
    EXPECT_EQ(readFile(), longer);
    QDir().rmdir(TrimmedCopyName(fileName));

    ASSERT_EQ(WriteTrimmedCopy(fileName, ProtocolLog::kKeptLines), TrimCopy::Written);
    // The program dies here: the log is untouched, the copy lies beside it.
    EXPECT_EQ(readFile(), longer);
    // The next shutdown trims again and replaces the leftover copy.
    log.trim();
    EXPECT_EQ(readFile().split('\n').size(), ProtocolLog::kKeptLines + 1);
    EXPECT_FALSE(QFile::exists(TrimmedCopyName(fileName)));
}

TEST_F(ProtocolLogTest, ViewerShowsTheNameUnderlinedAndTheNewestLines) {
    writeFile(entries(1, 1500));
    log.write("pending");
    const auto viewer = log.viewerText();
    EXPECT_TRUE(viewer.found);
    const QString header = fileName + "\r" + QString(fileName.size(), '-') + "\r";
    EXPECT_TRUE(viewer.text.startsWith(header));
    const QStringList shown = viewer.text.mid(header.size()).split('\r');
    // Lines n-1000 .. n of the flushed file (n = 1502 with the pending entry).
    ASSERT_EQ(shown.size(), 1 + 1001);
    EXPECT_EQ(shown[1], "entry 501");
    EXPECT_TRUE(shown.back().endsWith(": pending"));

    QFile::remove(fileName);
    const auto missing = log.viewerText();
    EXPECT_FALSE(missing.found);
    EXPECT_TRUE(missing.text.endsWith("\r\r*** log file not found! ***\r"));
}

}  // namespace
