// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The picture store against the catalogue and the question bank: every picture name that can be
// asked for is present (or reported missing), a valid SVG at its size from the size table; and
// how pictures are rendered, kept and refused.

#include "signs/picturestore.h"
#include "signs/signcatalog.h"

#include "files.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QScreen>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Counts the pixels that are not fully transparent.
int paintedPixels(const QPixmap &pm)
{
    const QImage image = pm.toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

QString sizeText(QSize s)
{
    return QStringLiteral("%1 x %2").arg(s.width()).arg(s.height());
}

const QByteArray kGoodSvg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"50\" height=\"50\">"
                            "<rect x=\"5\" y=\"5\" width=\"40\" height=\"40\" fill=\"#C8102E\"/></svg>";
} // namespace

class TestPictureStore : public QObject {
    Q_OBJECT

private slots:
    void namesCoverCatalogueAndQuestionBank();
    void everyNamePresentOrReported();
    void filesInTheStoreAreUpperCaseNames();
    void renderedForTheScreenAndKept();
    void emptyPictures_data();
    void emptyPictures();
    void badFilesGiveEmptyPictures();
};

// The store's list holds exactly the names the sign tables, the markings, the plates, the
// question pictures and the verdict pictures ask for; every "Figura:" of the question bank is one.
void TestPictureStore::namesCoverCatalogueAndQuestionBank()
{
    QStringList expected;
    for (SignGroup g : {SignGroup::A, SignGroup::R, SignGroup::I})
        for (int p = SignCatalog::firstPosition(g); p <= SignCatalog::lastPosition(g); ++p)
            expected << FiguraPlaca(g, p);
    for (int p = 1; p <= 7; ++p)
        expected << QStringLiteral("FAIXA%1").arg(p);
    for (int p = 1; p <= 6; ++p)
        expected << QStringLiteral("PLC%1").arg(p);
    expected << QStringLiteral("FX03") << QStringLiteral("FX05") << QStringLiteral("PLEX1")
             << QStringLiteral("PLEX2") << QStringLiteral("LOCAL") << QStringLiteral("PR5B")
             << QStringLiteral("PR8B") << QStringLiteral("PR35A") << QStringLiteral("PR35B")
             << QStringLiteral("PR37") << QStringLiteral("PR38") << QStringLiteral("PR39")
             << QStringLiteral("BOMBA") << QStringLiteral("SMILE") << QStringLiteral("SMILE1")
             << QStringLiteral("SMILE2") << QStringLiteral("MAO") << QStringLiteral("ROSTO");
    QCOMPARE(TPictureStore::pictureNames(), expected);
    QCOMPARE(expected.size(), 155);

    const QStringList blocks = QDir(QStringLiteral(":/questions")).entryList({"*.txt"});
    const QRegularExpression figura(QStringLiteral("^Figura: (.*)$"), QRegularExpression::MultilineOption);
    QStringList unknown;
    int asked = 0;
    for (const QString &block : blocks) {
        QFile f(QStringLiteral(":/questions/") + block);
        QVERIFY(f.open(QIODevice::ReadOnly));
        for (auto it = figura.globalMatch(QString::fromUtf8(f.readAll())); it.hasNext();) {
            const QString name = it.next().captured(1);
            ++asked;
            if (!TPictureStore::pictureNames().contains(name))
                unknown << block + QLatin1Char(':') + name;
        }
    }
    qInfo("question bank: %lld blocks, %d pictures asked for", static_cast<long long>(blocks.size()), asked);
    QVERIFY2(unknown.isEmpty(), qPrintable(QStringLiteral("not picture names: ") + unknown.join(", ")));
}

// Present pictures are valid SVG whose own width and height are the size table's, and load at
// that size; missing ones are listed. All A and R pictures must be present.
void TestPictureStore::everyNamePresentOrReported()
{
    TPictureStore &store = TPictureStore::Shared();
    QStringList missing, faults;
    for (const QString &name : TPictureStore::pictureNames()) {
        const QSize size = TPictureStore::pictureSize(name);
        QVERIFY2(size.isValid(), qPrintable(name));
        if (!store.contains(name)) {
            missing << name;
            continue;
        }
        QSvgRenderer svg(store.filePath(name));
        if (!svg.isValid()) {
            faults << name + QStringLiteral(": not a valid SVG");
            continue;
        }
        if (svg.defaultSize() != size)
            faults << QStringLiteral("%1: drawn at %2, shown at %3")
                          .arg(name, sizeText(svg.defaultSize()), sizeText(size));
        const QPixmap pm = CarregarFigura(name, 1.0);
        if (pm.size() != size || paintedPixels(pm) == 0)
            faults << name + QStringLiteral(": loads as %1, painted %2 pixels")
                                 .arg(sizeText(pm.size()))
                                 .arg(paintedPixels(pm));
    }
    qInfo("%lld of %lld pictures present; missing: %s",
          static_cast<long long>(TPictureStore::pictureNames().size() - missing.size()),
          static_cast<long long>(TPictureStore::pictureNames().size()),
          missing.isEmpty() ? "none" : qPrintable(missing.join(QLatin1Char(' '))));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    const QStringList signsMissing = missing.filter(QRegularExpression(QStringLiteral("^[AR][0-9]+$")));
    QVERIFY2(signsMissing.isEmpty(), qPrintable(signsMissing.join(QLatin1Char(' '))));
}

// A file the store can never show (a lower-case or otherwise misspelt name) is a mistake.
void TestPictureStore::filesInTheStoreAreUpperCaseNames()
{
    const QStringList files = QDir(QStringLiteral(":/pictures")).entryList(QDir::Files);
    QVERIFY(!files.isEmpty());
    QStringList strays;
    for (const QString &file : files) {
        const QString name = file.chopped(4);
        if (!file.endsWith(QStringLiteral(".svg")) || name != name.toUpper())
            strays << file;
        else if (!TPictureStore::pictureSize(name).isValid())
            qInfo("%s: not a catalogue picture name", qPrintable(file));
    }
    QVERIFY2(strays.isEmpty(), qPrintable(strays.join(QLatin1Char(' '))));
}

void TestPictureStore::renderedForTheScreenAndKept()
{
    // Default: the primary screen's ratio.
    const QPixmap screen = CarregarFigura(QStringLiteral("R12"));
    QCOMPARE(screen.devicePixelRatio(), QGuiApplication::primaryScreen()->devicePixelRatio());

    // On a 2x screen: twice the device pixels, same layout size, drawn at full resolution rather
    // than an enlarged 1x picture.
    const QPixmap one = CarregarFigura(QStringLiteral("A0"), 1.0);
    const QPixmap two = CarregarFigura(QStringLiteral("A0"), 2.0);
    QCOMPARE(one.size(), QSize(50, 50));
    QCOMPARE(two.size(), QSize(100, 100));
    QCOMPARE(two.devicePixelRatio(), 2.0);
    QCOMPARE(two.deviceIndependentSize(), QSizeF(50, 50));
    const QImage big = two.toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage enlarged = one.toImage()
                                .scaled(100, 100, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                .convertToFormat(QImage::Format_ARGB32);
    QVERIFY(big != enlarged);

    // Rendered once per name, size and ratio, then handed out again.
    QCOMPARE(CarregarFigura(QStringLiteral("A0"), 2.0).cacheKey(), two.cacheKey());
    QCOMPARE(CarregarFigura(QStringLiteral("A0"), 1.0).cacheKey(), one.cacheKey());
    QVERIFY(one.cacheKey() != two.cacheKey());
    QVERIFY(TPictureStore::Shared().picture(QStringLiteral("A0"), QSize(25, 25), 1.0).cacheKey() !=
            one.cacheKey());

    // A non-positive ratio counts as 1.
    QCOMPARE(CarregarFigura(QStringLiteral("A0"), 0.0).size(), QSize(50, 50));
}

void TestPictureStore::emptyPictures_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"", "I2", "I0", "A62", "R41", "A-1", "R-10", "a0", "r12", "A00", " A0", "A0 ",
                             "FAIXA0", "FAIXA8", "PLC7", "XYZ", "../pictures/A0"})
        QTest::newRow(QByteArray("\"") + name + "\"") << QString::fromLatin1(name);
}

void TestPictureStore::emptyPictures()
{
    QFETCH(QString, name);
    QVERIFY(CarregarFigura(name).isNull());
    QVERIFY(CarregarFigura(name, 2.0).isNull());
}

// Damaged files never crash the store: they load as empty pictures, every time.
void TestPictureStore::badFilesGiveEmptyPictures()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.svg=false"));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath("A0.svg"), "this is no picture"));
    QVERIFY(writeFile(dir.filePath("A1.svg"), kGoodSvg.left(60)));
    QVERIFY(writeFile(dir.filePath("A2.svg"), QByteArray()));
    QVERIFY(writeFile(dir.filePath("A3.svg"), QByteArray(kGoodSvg).replace("\"50\"", "\"80\"")));
    QVERIFY(writeFile(dir.filePath("A4.svg"), kGoodSvg));
    QVERIFY(writeFile(dir.filePath("a5.svg"), kGoodSvg));
    TPictureStore store(dir.path());
    for (int round = 0; round < 2; ++round) {
        for (const char *name : {"A0", "A1", "A2", "A5", "A6"})
            QVERIFY2(store.picture(QString::fromLatin1(name), 1.0).isNull(), name);
    }
    // A drawing at the wrong size is still shown at the size table's size.
    QCOMPARE(store.picture(QStringLiteral("A3"), 1.0).size(), QSize(50, 50));
    const QPixmap good = store.picture(QStringLiteral("A4"), 1.5);
    QCOMPARE(good.size(), QSize(75, 75));
    QVERIFY(paintedPixels(good) > 0);
    QVERIFY(!store.contains(QStringLiteral("A5")));
    QLoggingCategory::setFilterRules(QString());
}

QTEST_MAIN(TestPictureStore)
#include "tst_picturestore.moc"
