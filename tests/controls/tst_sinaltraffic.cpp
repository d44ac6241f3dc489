// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/sinaltraffic.h"

#include "windowdriver.h"

#include <QMetaEnum>
#include <QtTest>
#include <cmath>
#include <numbers>

namespace {

const QColor kBackground(255, 0, 255);
const QColor kBlack(0, 0, 0);
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);

// Lit and dark colour of the red, amber and green lamp.
const QColor kLit[3] = {QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0)};
const QColor kDark[3] = {QColor(127, 0, 0), QColor(127, 127, 0), QColor(0, 127, 0)};

// What the control paints, over a background it does not paint itself.
QImage shotAlone(QWidget &w)
{
    return shot(w, kBackground, {});
}

// Rows of the red, amber and green lamp boxes: {top, bottom exclusive}.
struct Rows {
    int top, bottom;
};
std::array<Rows, 3> lampRows(int height, const QList<int> &heights)
{
    Q_ASSERT(heights[0] + heights[1] + heights[2] == height);
    return {{{0, heights[0]}, {heights[0], heights[0] + heights[1]}, {height - heights[2], height}}};
}

// For a pixel of lamp's ring under esPro: +1 when it lies counter-clockwise from the ray through
// the control's top right corner to the ray through the box's bottom left corner (the light half),
// -1 when it lies on the other side, 0 when it is too close to a ray to tell. Angles are measured
// from the box's centre, y upwards.
int esProSide(QSize size, Rows rows, int x, int y)
{
    const double cx = size.width() / 2.0, cy = (rows.top + rows.bottom) / 2.0;
    const auto angle = [&](double px, double py) {
        return std::atan2(cy - py, px - cx) * 180.0 / std::numbers::pi;
    };
    const auto ccw = [](double from, double to) { return std::fmod(to - from + 720.0, 360.0); };
    const double light = angle(size.width(), 0), dark = angle(0, rows.bottom);
    const double q = angle(x + 0.5, y + 0.5);
    const double margin = 6.0;
    if (ccw(light, q) < margin || ccw(q, light) < margin || ccw(dark, q) < margin || ccw(q, dark) < margin)
        return 0;
    return ccw(light, q) < ccw(light, dark) ? 1 : -1;
}

} // namespace

class TestSinalTraffic : public QObject {
    Q_OBJECT

private slots:
    void afterConstruction();
    void lampsByState_data();
    void lampsByState();
    void rings_data();
    void rings();
    void repaintsOnlyOnChange();
};

// Size, values, and the names and ordinals the stored window layouts use.
void TestSinalTraffic::afterConstruction()
{
    TSinalTraffic light;
    QCOMPARE(light.size(), QSize(16, 48));
    QCOMPARE(light.borderStyle(), TSinalTraffic::bsNone);
    QCOMPARE(light.state(), TSinalTraffic::sRed);
    QVERIFY(light.testAttribute(Qt::WA_TransparentForMouseEvents));

    const auto names = [](QMetaEnum e) {
        QStringList out;
        for (int i = 0; i < e.keyCount(); ++i) {
            if (e.value(i) != i)
                return QStringList{QStringLiteral("ordinal %1 out of place").arg(i)};
            out << QString::fromLatin1(e.key(i));
        }
        return out;
    };
    QCOMPARE(names(QMetaEnum::fromType<TSinalTraffic::TBorderStyle>()),
             QStringList({"bsNone", "bsStd", "esPro"}));
    QCOMPARE(names(QMetaEnum::fromType<TSinalTraffic::TState>()),
             QStringList({"sAll", "sAmber", "sGreen", "sNone", "sRed", "sRedAmber"}));
    QCOMPARE(sizeof(TSinalTraffic::TState), std::size_t{1});

    // A layout sets the values by name.
    QVERIFY(light.setProperty("State", QStringLiteral("sGreen")));
    QVERIFY(light.setProperty("BorderStyle", QStringLiteral("esPro")));
    QCOMPARE(light.state(), TSinalTraffic::sGreen);
    QCOMPARE(light.borderStyle(), TSinalTraffic::esPro);

    // Created in code: red lamp lit, the other two dark, no visible ring.
    TSinalTraffic fresh;
    const QImage image = shotAlone(fresh);
    QCOMPARE(at(image, 8, 8), kLit[0]);
    QCOMPARE(at(image, 8, 0), kLit[0]);
    QCOMPARE(at(image, 0, 8), kLit[0]);
    QCOMPARE(at(image, 8, 24), kDark[1]);
    QCOMPARE(at(image, 8, 40), kDark[2]);
}

void TestSinalTraffic::lampsByState_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("heights");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("lit"); // red, amber, green

    const std::pair<TSinalTraffic::TState, const char *> states[] = {
        {TSinalTraffic::sAll, "111"},  {TSinalTraffic::sAmber, "010"}, {TSinalTraffic::sGreen, "001"},
        {TSinalTraffic::sNone, "000"}, {TSinalTraffic::sRed, "100"},   {TSinalTraffic::sRedAmber, "110"},
    };
    const auto stateName = QMetaEnum::fromType<TSinalTraffic::TState>();
    for (const auto &[size, heights] : {std::pair{QSize(16, 48), QList<int>{16, 16, 16}},
                                        std::pair{QSize(28, 76), QList<int>{25, 26, 25}}}) {
        for (const auto &[state, lit] : states)
            QTest::addRow("%dx%d %s", size.width(), size.height(), stateName.valueToKey(state))
                << size << heights << int(state) << QString::fromLatin1(lit);
    }
}

// Down the middle column every row belongs to its lamp's box, in the lamp's lit or dark colour;
// the middle lamp takes the rows left over; the corners outside the ellipses are not painted.
void TestSinalTraffic::lampsByState()
{
    QFETCH(QSize, size);
    QFETCH(QList<int>, heights);
    QFETCH(int, state);
    QFETCH(QString, lit);

    TSinalTraffic light;
    light.resize(size);
    light.setState(TSinalTraffic::TState(state));
    const QImage image = shotAlone(light);
    const auto rows = lampRows(size.height(), heights);
    const int x = size.width() / 2;
    for (int lamp = 0; lamp < 3; ++lamp) {
        const QColor expected = lit[lamp] == QLatin1Char('1') ? kLit[lamp] : kDark[lamp];
        const int centre = (rows[lamp].top + rows[lamp].bottom) / 2;
        QCOMPARE(at(image, x, centre), expected);
        QCOMPARE(at(image, 0, centre), expected);
        QCOMPARE(at(image, size.width() - 1, centre), expected);
        for (int y = rows[lamp].top; y < rows[lamp].bottom; ++y)
            if (at(image, x, y) != expected)
                QFAIL(qPrintable(
                    QStringLiteral("row %1 of lamp %2 is %3").arg(y).arg(lamp).arg(at(image, x, y).name())));
        QCOMPARE(at(image, 0, rows[lamp].top), kBackground);
        QCOMPARE(at(image, size.width() - 1, rows[lamp].bottom - 1), kBackground);
    }
}

void TestSinalTraffic::rings_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("heights");
    QTest::addColumn<int>("style");
    for (const auto &[size, heights] : {std::pair{QSize(16, 48), QList<int>{16, 16, 16}},
                                        std::pair{QSize(28, 76), QList<int>{25, 26, 25}}}) {
        for (int style : {TSinalTraffic::bsNone, TSinalTraffic::bsStd, TSinalTraffic::esPro})
            QTest::addRow("%dx%d %s", size.width(), size.height(),
                          QMetaEnum::fromType<TSinalTraffic::TBorderStyle>().valueToKey(style))
                << size << heights << style;
    }
}

// The ring runs on the outermost pixels of each lamp: invisible for bsNone, black for bsStd,
// silver on the upper left and grey on the lower right for esPro, divided by the rays through the
// control's top right corner and the bottom left corner of the lamp's box (steeper for the lower
// lamps). Inside and outside the ring the styles paint exactly what bsNone paints.
void TestSinalTraffic::rings()
{
    QFETCH(QSize, size);
    QFETCH(QList<int>, heights);
    QFETCH(int, style);

    TSinalTraffic light;
    light.resize(size);
    light.setState(TSinalTraffic::sAll);
    const QImage plain = shotAlone(light);
    light.setBorderStyle(TSinalTraffic::TBorderStyle(style));
    const QImage image = shotAlone(light);

    const auto rows = lampRows(size.height(), heights);
    const int w = size.width();
    for (int lamp = 0; lamp < 3; ++lamp) {
        const int middle = (rows[lamp].top + rows[lamp].bottom) / 2;
        const QPoint top(w / 2, rows[lamp].top), left(0, middle);
        const QPoint bottom(w / 2, rows[lamp].bottom - 1), right(w - 1, middle);
        QColor upperLeft = kLit[lamp], lowerRight = kLit[lamp];
        if (style == TSinalTraffic::bsStd)
            upperLeft = lowerRight = kBlack;
        else if (style == TSinalTraffic::esPro)
            upperLeft = kSilver, lowerRight = kGrey;
        QCOMPARE(at(image, top.x(), top.y()), upperLeft);
        QCOMPARE(at(image, left.x(), left.y()), upperLeft);
        QCOMPARE(at(image, bottom.x(), bottom.y()), lowerRight);
        QCOMPARE(at(image, right.x(), right.y()), lowerRight);
        // One pixel in from the ring the lamp shows its own colour.
        QCOMPARE(at(image, top.x(), top.y() + 1), kLit[lamp]);
        QCOMPARE(at(image, right.x() - 1, right.y()), kLit[lamp]);
    }

    int ringPixels = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < w; ++x) {
            if (at(image, x, y) == at(plain, x, y))
                continue;
            ++ringPixels;
            QVERIFY2(style != TSinalTraffic::bsNone, "bsNone paints over the lamps");
            QVERIFY2(at(plain, x, y) != kBackground,
                     qPrintable(QStringLiteral("ring outside at %1,%2").arg(x).arg(y)));
            // A ring pixel has a neighbour outside its lamp.
            const auto lampColourAt = [&](int px, int py) {
                return px < 0 || py < 0 || px >= w || py >= size.height() ? kBackground : at(plain, px, py);
            };
            const QColor own = at(plain, x, y);
            QVERIFY2(lampColourAt(x - 1, y) != own || lampColourAt(x + 1, y) != own ||
                         lampColourAt(x, y - 1) != own || lampColourAt(x, y + 1) != own,
                     qPrintable(QStringLiteral("ring inside the lamp at %1,%2").arg(x).arg(y)));
            if (style == TSinalTraffic::esPro) {
                const int lamp = y < rows[1].top ? 0 : y < rows[2].top ? 1 : 2;
                const int side = esProSide(size, rows[lamp], x, y);
                if (side != 0)
                    QVERIFY2(at(image, x, y) == (side > 0 ? kSilver : kGrey),
                             qPrintable(QStringLiteral("ring pixel %1,%2 of lamp %3 is %4")
                                            .arg(x)
                                            .arg(y)
                                            .arg(lamp)
                                            .arg(at(image, x, y).name())));
            }
        }
    }
    if (style != TSinalTraffic::bsNone)
        QVERIFY(ringPixels > 3 * (w + size.height() / 3));
}

// A repaint is asked for only when a value really changes, and never drawn by the setter itself.
void TestSinalTraffic::repaintsOnlyOnChange()
{
    QWidget parent;
    parent.resize(60, 100);
    TSinalTraffic light(&parent);
    PaintCounter paints;
    light.installEventFilter(&paints);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QTRY_VERIFY(paints.count > 0);
    QTest::qWait(20); // lets a second paint of the first show arrive, which no condition announces
    paints.count = 0;

    light.setState(TSinalTraffic::sRed);
    light.setBorderStyle(TSinalTraffic::bsNone);
    QTest::qWait(50); // no paint comes: the wait is what is checked (likewise below)
    QCOMPARE(paints.count, 0);

    light.setState(TSinalTraffic::sGreen);
    QCOMPARE(paints.count, 0);
    QTRY_COMPARE(paints.count, 1);
    light.setState(TSinalTraffic::sGreen);
    QTest::qWait(50);
    QCOMPARE(paints.count, 1);

    light.setBorderStyle(TSinalTraffic::bsStd);
    QTRY_COMPARE(paints.count, 2);
    light.setBorderStyle(TSinalTraffic::bsStd);
    QTest::qWait(50);
    QCOMPARE(paints.count, 2);
}

QTEST_MAIN(TestSinalTraffic)
#include "tst_sinaltraffic.moc"
