// Saving a pane to a file: the bytes each kind of name gets, and failures that change nothing.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/logpane.h"
#include "files/logsaver.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

class LogSaverTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void savesThePane_data();
    void savesThePane();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
};

namespace {

// Lowers the most a file may grow to, as a full disk would stop it, while it lives. Root is
// bound by it too, unlike by permission bits.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(int bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit lower = old;
        lower.rlim_cur = rlim_t(bytes);
        active = bytes > 0 && setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit()
    {
        if (active)
            setrlimit(RLIMIT_FSIZE, &old);
    }

private:
    rlimit old {};
    bool active = false;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QStringList manyTexts(int count)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts.append(QStringLiteral("text %1 ").arg(i).leftJustified(60, QLatin1Char('x')));
    return texts;
}

const QStringList richAndPlain = {"first", "<b>negrita</b> y ñandú, 5 €", "日本語 🙂",
                                  "two\nlines"};

} // namespace

void LogSaverTest::initTestCase()
{
    // Past the file size limit the system sends this signal, which would end the test; ignored,
    // the write fails with EFBIG as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
}

void LogSaverTest::savesThePane_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("existing"); // empty for no file there before
    QTest::addColumn<QByteArray>("plain"); // the bytes; empty for HTML

    const QByteArray two = "first\nsecond\n";
    QTest::newRow(".txt") << QStringList({"first", "second"}) << "log.txt" << QByteArray() << two;
    QTest::newRow(".LOG") << QStringList({"first", "second"}) << "LOG.LOG" << QByteArray() << two;
    QTest::newRow("no suffix") << QStringList({"first", "second"}) << "log" << QByteArray() << two;
    QTest::newRow("html, then another suffix")
        << QStringList({"first", "second"}) << "log.html.csv" << QByteArray() << two;
    QTest::newRow("rich text, non-ASCII, a text of two lines")
        << richAndPlain << "log.txt" << QByteArray()
        << QStringLiteral("first\nnegrita y ñandú, 5 €\n日本語 🙂\ntwo\nlines\n").toUtf8();
    QTest::newRow("line breaks of every kind")
        << QStringList({"a\r\nb", "c\rd", "<p>e<br/>f</p>"}) << "log.txt" << QByteArray()
        << QByteArray("a\nb\nc\nd\ne\nf\n");
    QTest::newRow("no-break spaces stay")
        << QStringList({"5\u00A0€", "<b>a</b>&nbsp;b"}) << "log.txt" << QByteArray()
        << QByteArray("5\xC2\xA0\xE2\x82\xAC\na\xC2\xA0"
                      "b\n");
    QTest::newRow("an empty pane") << QStringList() << "log.txt" << QByteArray() << QByteArray();
    QTest::newRow("over a longer file")
        << QStringList({"new"}) << "log.txt" << QByteArray("an older, longer log\n")
        << QByteArray("new\n");
    QTest::newRow("over a file, beyond the file's buffer")
        << manyTexts(1000) << "log.txt" << QByteArray("old\n")
        << (manyTexts(1000).join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    QTest::newRow(".html") << richAndPlain << "log.html" << QByteArray() << QByteArray();
    QTest::newRow(".HTM, over a file")
        << richAndPlain << "LOG.HTM" << QByteArray("old\n") << QByteArray();
}

void LogSaverTest::savesThePane()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, existing);
    QFETCH(QByteArray, plain);

    QTextEdit view;
    (new LogPane(&view))->append(texts);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    if (!existing.isEmpty())
        writeFile(path, existing);

    const LogSaveResult result = saveLog(*view.document(), path);
    QVERIFY2(result.succeeded(), qPrintable(result.error));
    const QByteArray bytes = readFile(path);
    QCOMPARE(result.bytesWritten, qint64(bytes.size()));
    // Nothing is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({fileName}));
    if (logFileFormatFor(path) == LogFileFormat::PlainText) {
        QCOMPARE(bytes, plain);
        return;
    }
    QVERIFY(plain.isEmpty());
    QVERIFY(bytes.startsWith("<!DOCTYPE HTML"));
    QVERIFY(bytes.contains("charset=utf-8") || bytes.contains("charset=\"utf-8\""));
    // A browser loads nothing that a sender's markup names.
    QVERIFY(bytes.contains("<head><meta http-equiv=\"Content-Security-Policy\" "
                           "content=\"default-src 'none'; style-src 'unsafe-inline'\" />"));
    // Read back, it is the pane's text, with the bold word bold and the rest not.
    QTextDocument reread;
    reread.setHtml(QString::fromUtf8(bytes));
    QCOMPARE(reread.toPlainText(), view.toPlainText());
    QTextCursor cursor(reread.findBlockByNumber(1));
    cursor.movePosition(QTextCursor::Right);
    QVERIFY(cursor.charFormat().fontWeight() >= QFont::Bold);
    cursor.movePosition(QTextCursor::EndOfBlock);
    QVERIFY(cursor.charFormat().fontWeight() < QFont::Bold);
}

void LogSaverTest::failedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("target"); // beside a regular file "old.log" and a directory "sub"
    QTest::addColumn<int>("textCount"); // texts of 60 characters in the pane
    QTest::addColumn<int>("sizeLimit"); // the most a file may grow to, 0 for no limit
    QTest::addColumn<QString>("reason"); // the system's words, empty when any will do

    QTest::newRow("the parent is a regular file") << "old.log/new.txt" << 3 << 0 << QString();
    QTest::newRow("the name of a directory") << "sub" << 3 << 0 << QString();
    QTest::newRow("a directory that does not exist") << "none/new.txt" << 3 << 0 << QString();
    const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
    // About 6 KB, which the file's buffer holds: the disk is found full when it is written out.
    QTest::newRow("a full disk, in the buffer") << "old.log" << 100 << 4096 << tooLarge;
    // About 60 KB, more than the buffer holds: written at once, and cut short.
    QTest::newRow("a full disk, past the buffer") << "old.log" << 1000 << 4096 << tooLarge;
}

void LogSaverTest::failedSaveChangesNothing()
{
    QFETCH(QString, target);
    QFETCH(int, textCount);
    QFETCH(int, sizeLimit);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QByteArray old = "the old log, which must stay whole\n";
    writeFile(dir.filePath(QStringLiteral("old.log")), old);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QDir::Filters all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
    const QStringList before = QDir(dir.path()).entryList(all);

    QTextEdit view;
    (new LogPane(&view))->append(manyTexts(textCount));
    LogSaveResult result;
    {
        const FileSizeLimit limit(sizeLimit);
        result = saveLog(*view.document(), dir.filePath(target));
    }
    QVERIFY(!result.succeeded());
    QVERIFY(!result.error.trimmed().isEmpty());
    if (!reason.isEmpty())
        QCOMPARE(result.error, reason);
    QCOMPARE(result.bytesWritten, qint64(0));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("old.log"))), old);
    QCOMPARE(QDir(dir.path()).entryList(all), before);
    QVERIFY(QDir(dir.filePath(QStringLiteral("sub"))).isEmpty());
    // Without the limit the same save succeeds: the limit was what failed it.
    if (sizeLimit > 0)
        QVERIFY(saveLog(*view.document(), dir.filePath(target)).succeeded());
}

QTEST_MAIN(LogSaverTest)
#include "tst_logsaver.moc"
