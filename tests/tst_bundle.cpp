// Tests of the resource bundle and the Windows program icon.
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QResource>
#include <QtEndian>
#include <QtTest>

// The data files compiled into the program: where they are found, how they are stored, and
// the Windows program icon that lives beside them in the repository.
class BundleTest : public QObject
{
    Q_OBJECT

private slots:
    void pathsResolve_data();
    void pathsResolve();
    void pathsInAnotherCaseFindNothing_data();
    void pathsInAnotherCaseFindNothing();
    void catalogueIsCompressedImagesAreStoredAsTheyAre();
    void entriesCarryNoTimes();
    void windowsIconIsOnePalettedImage();
};

void BundleTest::pathsResolve_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    QTest::newRow("catalogue") << ":/corvane/languages/corvane_es.qm" << QByteArray() << QSize();
    QTest::newRow("green lamp") << ":/corvane/Resources/ledGreen.png" << QByteArray("png")
                                << QSize(16, 16);
    QTest::newRow("red lamp") << ":/corvane/Resources/ledRed.png" << QByteArray("png")
                              << QSize(16, 16);
    QTest::newRow("about image") << ":/corvane/Resources/about.jpg" << QByteArray("jpeg")
                                 << QSize(128, 128);
}

void BundleTest::pathsResolve()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.size() > 0);
    if (format.isEmpty()) {
        // Every .qm file opens with the same sixteen bytes.
        QCOMPARE(file.read(16).toHex(), QByteArray("3cb86418caef9c95cd211cbf60a1bddd"));
        return;
    }
    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    if (format == "png")
        QVERIFY(image.hasAlphaChannel());
}

void BundleTest::pathsInAnotherCaseFindNothing_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("resources") << ":/corvane/resources/about.jpg";
    QTest::newRow("Languages") << ":/corvane/Languages/corvane_es.qm";
    QTest::newRow("Corvane") << ":/Corvane/Resources/ledRed.png";
    QTest::newRow("file name") << ":/corvane/Resources/LedGreen.png";
    QTest::newRow("suffix") << ":/corvane/languages/corvane_es.QM";
}

void BundleTest::pathsInAnotherCaseFindNothing()
{
    QFETCH(QString, path);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QResource(path).isValid());
}

void BundleTest::catalogueIsCompressedImagesAreStoredAsTheyAre()
{
    const QResource catalogue(QStringLiteral(":/corvane/languages/corvane_es.qm"));
    QVERIFY(catalogue.isValid());
    QCOMPARE(catalogue.compressionAlgorithm(), QResource::ZlibCompression);
    QVERIFY(catalogue.size() < catalogue.uncompressedSize() / 2);

    for (const char *name : {"ledGreen.png", "ledRed.png", "about.jpg"}) {
        const QResource image(QStringLiteral(":/corvane/Resources/") + QLatin1String(name));
        QVERIFY2(image.isValid(), name);
        QCOMPARE(image.compressionAlgorithm(), QResource::NoCompression);
        // Byte for byte the committed drawing.
        QFile drawn(QStringLiteral(CORVANE_RESOURCES_DIR "/Resources/") + QLatin1String(name));
        QVERIFY2(drawn.open(QIODevice::ReadOnly), name);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.data()), int(image.size())),
                 drawn.readAll());
    }
}

void BundleTest::entriesCarryNoTimes()
{
    // The oldest bundle layout keeps no modification times; newer layouts would report the
    // build machine's file times here.
    for (const char *path :
         {":/corvane/languages/corvane_es.qm", ":/corvane/Resources/ledGreen.png",
          ":/corvane/Resources/ledRed.png", ":/corvane/Resources/about.jpg"}) {
        const QResource entry {QLatin1String(path)};
        QVERIFY2(entry.isValid(), path);
        QVERIFY2(!entry.lastModified().isValid(), path);
    }
}

void BundleTest::windowsIconIsOnePalettedImage()
{
    // The Windows build compiles corvane.rc, which must name the icon file beside it.
    QFile script(QStringLiteral(CORVANE_RESOURCES_DIR "/corvane.rc"));
    QVERIFY(script.open(QIODevice::ReadOnly | QIODevice::Text));
    QVERIFY(QString::fromLatin1(script.readAll())
                .contains(QRegularExpression(
                    QStringLiteral("^IDI_ICON1\\s+ICON\\s+\"corvane\\.ico\"\\s*$"),
                    QRegularExpression::MultilineOption)));

    QFile file(QStringLiteral(CORVANE_RESOURCES_DIR "/corvane.ico"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    QVERIFY(ico.size() > 6 + 16 + 40);
    const auto *bytes = reinterpret_cast<const uchar *>(ico.constData());
    QCOMPARE(qFromLittleEndian<quint16>(bytes + 2), quint16(1)); // an icon, not a cursor
    QCOMPARE(qFromLittleEndian<quint16>(bytes + 4), quint16(1)); // one image
    const uchar *entry = bytes + 6;
    QCOMPARE(int(entry[0]), 128);
    QCOMPARE(int(entry[1]), 128);
    QCOMPARE(qFromLittleEndian<quint16>(entry + 6), quint16(8)); // bits per pixel
    const quint32 offset = qFromLittleEndian<quint32>(entry + 12);
    QVERIFY(offset + 40 <= quint32(ico.size()));
    const uchar *header = bytes + offset;
    QCOMPARE(qFromLittleEndian<quint32>(header), quint32(40)); // a bitmap, not a PNG
    QCOMPARE(qFromLittleEndian<quint16>(header + 14), quint16(8)); // 8 bits: a palette
    const quint32 colours = qFromLittleEndian<quint32>(header + 32);
    QVERIFY(colours <= 256);

    const QImage image = QImage::fromData(ico, "ico");
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(128, 128));
}

QTEST_MAIN(BundleTest)
#include "tst_bundle.moc"
