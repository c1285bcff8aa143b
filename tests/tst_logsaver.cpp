// Saving a pane to a file: the bytes each kind of name gets, and failures that change nothing.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomicfile.h"
#include "logpane.h"
#include "logsaver.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
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

    void formatFollowsTheName_data();
    void formatFollowsTheName();
    void plainTextIsOneLinePerParagraph_data();
    void plainTextIsOneLinePerParagraph();
    void htmlKeepsTheRichText_data();
    void htmlKeepsTheRichText();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
};

namespace {

// Lowers the most a file of this process may grow to, as a full disk would stop it, for as
// long as it lives. Root is bound by it too, unlike by permission bits.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit lower = old;
        lower.rlim_cur = bytes;
        active = bytes != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit()
    {
        if (active)
            setrlimit(RLIMIT_FSIZE, &old);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

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
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QStringList numberedTexts(int count, int length)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts.append(QStringLiteral("%1 ").arg(i).leftJustified(length, QLatin1Char('x')));
    return texts;
}

const QStringList richAndPlain = {QStringLiteral("first"),
                                  QStringLiteral("<b>negrita</b> y ñandú, 5 €"),
                                  QStringLiteral("日本語 🙂"), QStringLiteral("two\nlines")};

} // namespace

void LogSaverTest::initTestCase()
{
    // Past the file size limit, the system sends this signal, which would end the test; with
    // it ignored, the write fails with EFBIG as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
}

void LogSaverTest::formatFollowsTheName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("html");

    QTest::newRow(".txt") << "/tmp/log.txt" << false;
    QTest::newRow(".log") << "log.log" << false;
    QTest::newRow(".LOG") << "LOG.LOG" << false;
    QTest::newRow("no suffix") << "/tmp/log" << false;
    QTest::newRow("another suffix") << "log.csv" << false;
    QTest::newRow("html, then another suffix") << "log.html.txt" << false;
    QTest::newRow("a directory named .html") << "/tmp/x.html/log" << false;
    QTest::newRow(".html") << "/tmp/log.html" << true;
    QTest::newRow(".HTML") << "LOG.HTML" << true;
    QTest::newRow(".htm") << "log.htm" << true;
    QTest::newRow("a dotted name") << "my.log.html" << true;
}

void LogSaverTest::formatFollowsTheName()
{
    QFETCH(QString, path);
    QFETCH(bool, html);
    QCOMPARE(logFileFormatFor(path), html ? LogFileFormat::Html : LogFileFormat::PlainText);
}

void LogSaverTest::plainTextIsOneLinePerParagraph_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("existing"); // empty for no file there before
    QTest::addColumn<QByteArray>("expected");

    const QStringList two = {"first", "second"};
    QTest::newRow(".txt") << two << "log.txt" << QByteArray() << QByteArray("first\nsecond\n");
    QTest::newRow(".log") << two << "log.log" << QByteArray() << QByteArray("first\nsecond\n");
    QTest::newRow("no suffix") << two << "log" << QByteArray() << QByteArray("first\nsecond\n");
    QTest::newRow("rich text, non-ASCII, a text of two lines")
        << richAndPlain << "log.txt" << QByteArray()
        << QStringLiteral("first\nnegrita y ñandú, 5 €\n日本語 🙂\ntwo\nlines\n").toUtf8();
    QTest::newRow("line breaks of every kind")
        << QStringList({"a\r\nb", "c\rd", "<p>e<br/>f</p>"}) << "log.txt" << QByteArray()
        << QByteArray("a\nb\nc\nd\ne\nf\n");
    QTest::newRow("an empty pane") << QStringList() << "empty.txt" << QByteArray() << QByteArray();
    QTest::newRow("over a longer file")
        << QStringList({"new"}) << "log.txt" << QByteArray("an older and much longer log\n")
        << QByteArray("new\n");
    QTest::newRow("over a file, in the file's buffer")
        << numberedTexts(100, 60) << "log.txt" << QByteArray("old\n")
        << (numberedTexts(100, 60).join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

void LogSaverTest::plainTextIsOneLinePerParagraph()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, existing);
    QFETCH(QByteArray, expected);

    QTextEdit view;
    (new LogPane(&view))->append(texts);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    if (!existing.isEmpty())
        writeFile(path, existing);

    const LogSaveResult result = saveLog(*view.document(), path);
    QVERIFY2(result.succeeded(), qPrintable(result.error));
    QCOMPARE(readFile(path), expected);
    QCOMPARE(result.bytesWritten, qint64(expected.size()));
    // Nothing is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({fileName}));
}

void LogSaverTest::htmlKeepsTheRichText_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow(".html") << "log.html";
    QTest::newRow(".HTM") << "LOG.HTM";
}

void LogSaverTest::htmlKeepsTheRichText()
{
    QFETCH(QString, fileName);
    QTextEdit view;
    (new LogPane(&view))->append(richAndPlain);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);

    const LogSaveResult result = saveLog(*view.document(), path);
    QVERIFY2(result.succeeded(), qPrintable(result.error));
    const QByteArray bytes = readFile(path);
    QCOMPARE(result.bytesWritten, qint64(bytes.size()));
    QVERIFY(bytes.startsWith("<!DOCTYPE HTML"));
    QVERIFY(bytes.contains("charset=utf-8") || bytes.contains("charset=\"utf-8\""));
    QVERIFY(bytes.contains("font-weight"));
    const QString html = QString::fromUtf8(bytes);
    QCOMPARE(html.toUtf8(), bytes); // valid UTF-8
    QVERIFY(html.contains(QStringLiteral("ñandú, 5 €")));

    // Read back, it is the pane's text, with the bold word bold and the rest not.
    QTextDocument reread;
    reread.setHtml(html);
    QCOMPARE(reread.toPlainText(), view.toPlainText());
    const QTextBlock second = reread.findBlockByNumber(1);
    QCOMPARE(second.text(), QStringLiteral("negrita y ñandú, 5 €"));
    QTextCursor inBold(second);
    inBold.movePosition(QTextCursor::Right);
    QVERIFY(inBold.charFormat().fontWeight() >= QFont::Bold);
    QTextCursor after(second);
    after.movePosition(QTextCursor::EndOfBlock);
    QVERIFY(after.charFormat().fontWeight() < QFont::Bold);
}

void LogSaverTest::failedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("target"); // where, under a directory with a regular file "old.log"
    QTest::addColumn<int>("textCount"); // texts of 60 characters in the pane
    QTest::addColumn<int>("sizeLimit"); // the most a file may grow to, 0 for no limit
    QTest::addColumn<QString>("reason"); // the system's words, empty when any will do

    QTest::newRow("the parent is a regular file") << "old.log/new.txt" << 3 << 0 << QString();
    QTest::newRow("the name of a directory") << "sub" << 3 << 0 << QString();
    QTest::newRow("a directory that does not exist") << "none/new.txt" << 3 << 0 << QString();
    const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
    // About 6 KB: it all fits in the file's buffer, and the disk is found full only when the
    // buffer is written out.
    QTest::newRow("a full disk, over an existing file, in the buffer")
        << "old.log" << 100 << 4096 << tooLarge;
    // About 60 KB, more than the buffer: written at once, and cut short.
    QTest::newRow("a full disk, over an existing file, past the buffer")
        << "old.log" << 1000 << 4096 << tooLarge;
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
    const auto entries = [&dir] {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    const QStringList before = entries();

    QTextEdit view;
    (new LogPane(&view))->append(numberedTexts(textCount, 60));
    LogSaveResult result;
    {
        const FileSizeLimit limit(sizeLimit > 0 ? rlim_t(sizeLimit) : RLIM_INFINITY);
        result = saveLog(*view.document(), dir.filePath(target));
    }
    QVERIFY(!result.succeeded());
    QVERIFY(!result.error.trimmed().isEmpty());
    if (!reason.isEmpty())
        QCOMPARE(result.error, reason);
    QCOMPARE(result.bytesWritten, qint64(0));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("old.log"))), old);
    QCOMPARE(entries(), before);
    QVERIFY(QDir(dir.filePath(QStringLiteral("sub"))).isEmpty());

    // The same write, with room, succeeds: the failure was the one the row is about.
    if (sizeLimit > 0)
        QCOMPARE(writeFileAtomically(dir.filePath(target), QByteArray(sizeLimit * 2, 'x')),
                 QString());
}

QTEST_MAIN(LogSaverTest)
#include "tst_logsaver.moc"
