// Tests that the Spanish catalogue and the texts the code translates agree.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/aboutwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QVector>
#include <QXmlStreamReader>
#include <QtTest>

// The Spanish catalogue: its source in the repository, the compiled catalogue in the bundle,
// and the texts that the code actually asks to have translated must all agree. A text that
// drifts from its entry silently shows in English, so these checks are the only alarm.
namespace {

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type; // the translation's state: empty when finished
    bool numerus = false;
    bool hasComment = false;
};

QVector<Message> readTranslationSource(const QString &path)
{
    QVector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            Message message;
            message.context = context;
            message.numerus =
                xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("source")) {
                    message.source = xml.readElementText();
                } else if (xml.name() == QLatin1String("translation")) {
                    message.type = xml.attributes().value(QLatin1String("type")).toString();
                    message.translation =
                        xml.readElementText(QXmlStreamReader::IncludeChildElements);
                } else {
                    message.hasComment |= xml.name() == QLatin1String("comment");
                    xml.skipCurrentElement();
                }
            }
            messages.append(message);
        }
    }
    if (xml.hasError())
        messages.clear();
    return messages;
}

QSet<QString> keysOf(const QVector<Message> &messages)
{
    QSet<QString> keys;
    for (const Message &message : messages)
        keys.insert(message.context + QLatin1Char('\x1f') + message.source);
    return keys;
}

QString aboutPage()
{
    aboutWindow about;
    return about.findChild<QLabel *>(QStringLiteral("label_8"))->text();
}

} // namespace

class CatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sourceIsCompleteAndFinished();
    void sourceHoldsExactlyTheTextsOfTheCode();
    void bundleAnswersEveryMessageUnderItsContext();
    void aboutPageOfTheRealDialogIsTranslated();

private:
    QVector<Message> messages;
};

void CatalogueTest::initTestCase()
{
    messages = readTranslationSource(QStringLiteral(CORVANE_TS_FILE));
    QVERIFY2(!messages.isEmpty(), "cannot read " CORVANE_TS_FILE);
}

void CatalogueTest::sourceIsCompleteAndFinished()
{
    int mainWindow = 0, about = 0;
    for (const Message &message : qAsConst(messages)) {
        mainWindow += message.context == QLatin1String("MainWindow");
        about += message.context == QLatin1String("aboutWindow");
        QVERIFY2(message.type.isEmpty(),
                 qPrintable(QStringLiteral("entry is %1: %2").arg(message.type, message.source)));
        QVERIFY2(!message.translation.isEmpty(), qPrintable(message.source));
        QVERIFY(!message.numerus);
        QVERIFY(!message.hasComment);
    }
    // The window's own texts are all there; features add texts of their own beside them.
    QVERIFY(mainWindow >= 16);
    QCOMPARE(about, 3);
    const QSet<QString> keys = keysOf(messages);
    for (const char *source :
         {"Corvane", "&About", "E&xit", "Server", "Port", "Restart", "Clear timeout", "Clear now",
          "Log 1", "Log 2", "Log 3", "Log 4", "TextLabel", "File", "Listening at %1:%2",
          "Server bind failed. Are you running any other instance of Corvane?"}) {
        QVERIFY2(keys.contains(QStringLiteral("MainWindow\x1f") + QLatin1String(source)), source);
    }
    for (const char *source : {"About Corvane", "Close"})
        QVERIFY2(keys.contains(QStringLiteral("aboutWindow\x1f") + QLatin1String(source)), source);
}

void CatalogueTest::sourceHoldsExactlyTheTextsOfTheCode()
{
    // Extract afresh what the code passes to translation and compare it with the committed
    // entries; on a difference, run the corvane_update_translations target and translate.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fresh = dir.filePath(QStringLiteral("fresh_es.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(CORVANE_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral(CORVANE_SOURCE_DIR), QStringLiteral("-ts"), fresh});
    QVERIFY2(lupdate.waitForFinished(60000), qPrintable(lupdate.errorString()));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());

    const QSet<QString> inCode = keysOf(readTranslationSource(fresh));
    const QSet<QString> inCatalogue = keysOf(messages);
    QVERIFY(!inCode.isEmpty());
    for (const QString &key : inCode - inCatalogue)
        qWarning("in the code, not in the catalogue: %s", qPrintable(key));
    for (const QString &key : inCatalogue - inCode)
        qWarning("in the catalogue, not in the code: %s", qPrintable(key));
    QVERIFY(inCode == inCatalogue);
}

void CatalogueTest::bundleAnswersEveryMessageUnderItsContext()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral("corvane_es"), QStringLiteral(":/corvane/languages")));
    for (const Message &message : qAsConst(messages)) {
        // A message missing from the catalogue translates to a null string, so the entries
        // that keep their English text are checked too.
        const QString found = translator.translate(message.context.toUtf8().constData(),
                                                   message.source.toUtf8().constData());
        QVERIFY2(!found.isNull(), qPrintable(message.source.left(60)));
        QCOMPARE(found, message.translation);
        // Looked up under the other window's name, the same text is not there.
        const char *other =
            message.context == QLatin1String("MainWindow") ? "aboutWindow" : "MainWindow";
        QVERIFY(translator.translate(other, message.source.toUtf8().constData()).isNull());
    }
}

void CatalogueTest::aboutPageOfTheRealDialogIsTranslated()
{
    const QString english = aboutPage();
    QVERIFY(english.contains(QLatin1String("This software is free as in free beer")));

    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral("corvane_es"), QStringLiteral(":/corvane/languages")));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    const QString spanish = aboutPage();
    QCoreApplication::removeTranslator(&translator);

    QVERIFY(spanish != english);
    QVERIFY(spanish.contains(QStringLiteral("Este programa es libre y gratuito.")));
    QVERIFY(spanish.contains(QStringLiteral("hacer una donaci\u00f3n")));
    QVERIFY(!spanish.contains(QLatin1String("free beer")));
    // Only the visible words change: the page's markup and the link targets stay.
    QCOMPARE(spanish.count(QLatin1String("<p ")), english.count(QLatin1String("<p ")));
    for (const char *kept : {"<img src=\":/corvane/Resources/about.jpg\" />", "href=\"mailto:",
                             "-qt-table-type: root", "<meta name=\"qrichtext\" content=\"1\" />"})
        QVERIFY2(spanish.contains(QLatin1String(kept)), kept);
}

QTEST_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
