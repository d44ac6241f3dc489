// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The exam page's clock face and the answer sheet's percentage gauge.

#include "controls/clockface.h"
#include "controls/gauge.h"
#include "fakes.h"
#include "windowdriver.h"

#include <QtTest>
#include <climits>
#include <cmath>

namespace {

// Paints w alone onto magenta, as over a window that shows through where w paints nothing.
QImage shotAlone(QWidget &w)
{
    return shot(w, Qt::magenta, QWidget::DrawChildren);
}

// What a probe of the clock face expects to find.
enum class Seen { Face, Hand, SecondHand };

// A point of the face: clockwise degrees from twelve o'clock and distance from the centre as a
// share of half the clock's side.
struct Probe {
    double degrees;
    double reach;
    Seen seen;
};

// Inside the hour hand's reach, and beyond it but inside the minute hand's.
constexpr double kNear = 0.4;
constexpr double kFar = 0.64;

Seen classify(const QColor &c)
{
    if (c.red() > 230 && c.green() > 230 && c.blue() > 230)
        return Seen::Face;
    if (c.red() > 150 && c.green() < 90 && c.blue() < 90)
        return Seen::SecondHand;
    if (c.lightness() < 110)
        return Seen::Hand;
    return Seen(-1);
}

const char *name(Seen s)
{
    switch (s) {
    case Seen::Face:
        return "face";
    case Seen::Hand:
        return "hand";
    case Seen::SecondHand:
        return "second hand";
    }
    return "something else";
}

} // namespace

Q_DECLARE_METATYPE(QList<Probe>)

class TestClockGauge : public QObject {
    Q_OBJECT
private slots:
    void handsPointAtTheTime_data();
    void handsPointAtTheTime();
    void ticksOnlyWhileVisible();
    void gaugeText_data();
    void gaugeText();
    void gaugeRangeChangesKeepProgressInside();
    void gaugeRepaintsOnlyOnChange();
    void gaugeTextShowsOnEitherColour();
};

void TestClockGauge::handsPointAtTheTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QList<Probe>>("probes");

    // Minute and second hands both stand at twelve.
    QTest::newRow("03:00:00") << QTime(3, 0, 0)
                              << QList<Probe>{{90, kNear, Seen::Hand},      // hour hand right
                                              {90, kFar, Seen::Face},       // ... and short
                                              {0, kNear, Seen::SecondHand}, // drawn over the minute hand
                                              {270, kNear, Seen::Face},     {180, kNear, Seen::Face},
                                              {270, kFar, Seen::Face}};
    // Twelve-hour dial: the afternoon looks the same.
    QTest::newRow("15:00:00") << QTime(15, 0, 0)
                              << QList<Probe>{{90, kNear, Seen::Hand},
                                              {90, kFar, Seen::Face},
                                              {270, kNear, Seen::Face}};
    // The hour hand has gone halfway from nine to ten.
    QTest::newRow("09:30:00") << QTime(9, 30, 0)
                              << QList<Probe>{
                                     {285, kNear, Seen::Hand}, {270, kNear, Seen::Face},
                                     {300, kNear, Seen::Face}, {180, kFar, Seen::Hand}, // minute hand down
                                     {180, kNear, Seen::Hand}, {90, kNear, Seen::Face}};
    // Three hands apart; the minute hand creeps with the seconds.
    QTest::newRow("06:45:15") << QTime(6, 45, 15)
                              << QList<Probe>{{90, kFar, Seen::SecondHand}, {90, kNear, Seen::SecondHand},
                                              {271.5, kFar, Seen::Hand},    {202.5, kNear, Seen::Hand},
                                              {180, kNear, Seen::Face},     {0, kFar, Seen::Face},
                                              {0, kNear, Seen::Face}};
    QTest::newRow("12:00:30") << QTime(12, 0, 30)
                              << QList<Probe>{{0, kNear, Seen::Hand},
                                              {3, kFar, Seen::Hand}, // half a minute past
                                              {180, kFar, Seen::SecondHand},
                                              {90, kNear, Seen::Face},
                                              {270, kNear, Seen::Face}};
}

void TestClockGauge::handsPointAtTheTime()
{
    QFETCH(QTime, time);
    QFETCH(QList<Probe>, probes);
    FakeClock clock(QDateTime(QDate(2026, 3, 9), time));
    TClockFace face;
    QCOMPARE(face.size(), QSize(135, 135));
    QCOMPARE(TClockFace::time(), time);
    const QImage image = shotAlone(face);

    const double half = face.width() / 2.0;
    for (const Probe &probe : probes) {
        const double a = qDegreesToRadians(probe.degrees);
        const int x = qFloor(half + std::sin(a) * probe.reach * half);
        const int y = qFloor(half - std::cos(a) * probe.reach * half);
        const Seen seen = classify(QColor(image.pixel(x, y)));
        if (seen != probe.seen)
            QFAIL(qPrintable(QStringLiteral("at %1° (%2, %3): %4 expected, %5 found (%6)")
                                 .arg(probe.degrees)
                                 .arg(x)
                                 .arg(y)
                                 .arg(QLatin1String(name(probe.seen)), QLatin1String(name(seen)),
                                      QColor(image.pixel(x, y)).name())));
    }

    // A face, not a square: the corners are left to the window behind.
    QCOMPARE(QColor(image.pixel(1, 1)), QColor(Qt::magenta));
    QCOMPARE(QColor(image.pixel(133, 133)), QColor(Qt::magenta));
}

void TestClockGauge::ticksOnlyWhileVisible()
{
    FakeClock clock(QDateTime(QDate(2026, 3, 9), QTime(10, 0, 0)));
    QWidget page;
    page.resize(300, 200);
    auto *face = new TClockFace(&page);
    QVERIFY(!face->isTicking()); // never shown yet
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(face->isTicking());

    // It repaints itself every second with nobody asking.
    PaintCounter counter;
    face->installEventFilter(&counter);
    clock.local = clock.local.addSecs(1);
    QTRY_VERIFY_WITH_TIMEOUT(counter.count >= 1, 1500);
    clock.local = clock.local.addSecs(1);
    QTRY_VERIFY_WITH_TIMEOUT(counter.count >= 2, 1500);
    QVERIFY(face->isTicking());

    // Hiding the page (another notebook page showing) stops it; showing it again restarts it.
    page.hide();
    QVERIFY(!face->isTicking());
    page.show();
    QVERIFY(face->isTicking());

    // Hiding just the clock stops it too, and nothing paints while it is hidden.
    face->hide();
    QVERIFY(!face->isTicking());
    counter.count = 0;
    QTest::qWait(1200); // no paint for longer than a tick: the wait is what is checked
    QCOMPARE(counter.count, 0);
    face->show();
    QVERIFY(face->isTicking());
}

void TestClockGauge::gaugeText_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("progress");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << 0 << 100 << 0 << "0%";
    QTest::newRow("20 right") << 0 << 100 << 66 << "66%";
    QTest::newRow("pass mark") << 0 << 100 << 70 << "70%";
    QTest::newRow("full") << 0 << 100 << 100 << "100%";
    QTest::newRow("truncates, never rounds up") << 0 << 3 << 2 << "66%";
    QTest::newRow("raised minimum") << 50 << 150 << 120 << "70%";
    QTest::newRow("negative minimum") << -30 << 30 << 0 << "50%";
    QTest::newRow("at the minimum") << 20 << 40 << 20 << "0%";
    QTest::newRow("above the range") << 0 << 100 << 250 << "100%";
    QTest::newRow("below the range") << 10 << 20 << 3 << "0%";
    QTest::newRow("empty range") << 5 << 5 << 5 << "0%";
    QTest::newRow("whole int range") << INT_MIN << INT_MAX << INT_MAX << "100%";
}

void TestClockGauge::gaugeText()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, progress);
    QFETCH(QString, text);
    TGauge gauge;
    // Widen first so neither bound is refused on the way.
    gauge.setMin(std::min(min, 0));
    gauge.setMax(std::max(max, 100));
    gauge.setMin(min);
    gauge.setMax(max);
    QCOMPARE(gauge.min(), min);
    QCOMPARE(gauge.max(), max);
    gauge.setProgress(progress);
    QVERIFY(gauge.progress() >= min && gauge.progress() <= max);
    QCOMPARE(gauge.text(), text);
}

void TestClockGauge::gaugeRangeChangesKeepProgressInside()
{
    TGauge gauge;
    gauge.setProgress(80);
    gauge.setMax(50);
    QCOMPARE(gauge.progress(), 50);
    QCOMPARE(gauge.text(), QStringLiteral("100%"));
    gauge.setMin(60); // above the maximum: refused
    QCOMPARE(gauge.min(), 0);
    gauge.setMin(40);
    QCOMPARE(gauge.text(), QStringLiteral("100%"));
    gauge.setMax(30); // below the minimum: refused
    QCOMPARE(gauge.max(), 50);
    gauge.setProgress(0);
    QCOMPARE(gauge.progress(), 40);
    QCOMPARE(gauge.text(), QStringLiteral("0%"));
}

void TestClockGauge::gaugeRepaintsOnlyOnChange()
{
    QWidget sheet;
    auto *gauge = new TGauge(&sheet);
    sheet.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sheet));
    PaintCounter counter;
    gauge->installEventFilter(&counter);

    gauge->setProgress(70);
    QTRY_COMPARE(counter.count, 1);

    // The same values again, and a progress clamped back to what it already is.
    gauge->setProgress(70);
    gauge->setMin(0);
    gauge->setMax(100);
    gauge->setForeColor(clBlack);
    gauge->setBackColor(clWhite);
    gauge->setProgress(100);
    gauge->setProgress(150);
    QTRY_COMPARE(counter.count, 2);
    QTest::qWait(100); // and no further paint comes: the wait is what is checked
    QCOMPARE(counter.count, 2);

    gauge->setForeColor(clWhite);
    QTRY_COMPARE(counter.count, 3);
    gauge->setBackColor(clRed);
    QTRY_COMPARE(counter.count, 4);
}

void TestClockGauge::gaugeTextShowsOnEitherColour()
{
    // As on the answer sheet: 46 x 22, bar and ground both white.
    TGauge gauge;
    gauge.resize(46, 22);
    gauge.setForeColor(clWhite);
    gauge.setBackColor(clWhite);
    gauge.setProgress(100); // the widest text
    QImage image = shotAlone(gauge);

    QRect ink;
    int inside = 0;
    for (int y = 1; y < 21; ++y)
        for (int x = 1; x < 45; ++x) {
            const QColor c(image.pixel(x, y));
            if (c.lightness() < 128)
                ink |= QRect(x, y, 1, 1);
            inside += c != QColor(Qt::magenta);
        }
    QCOMPARE(inside, 44 * 20); // the ground covers the inside
    QVERIFY2(ink.width() > 10, "no text to be seen");
    // The text fits, centred.
    QVERIFY(ink.left() > 1 && ink.right() < 44 && ink.top() > 1 && ink.bottom() < 20);
    QVERIFY(std::abs((ink.left() + ink.right()) - 45) <= 3);
    // The thin border.
    QVERIFY(QColor(image.pixel(0, 11)).lightness() < 128);
    QVERIFY(QColor(image.pixel(45, 11)).lightness() < 128);

    // A black bar carries white text where it passes under it.
    gauge.setForeColor(clBlack);
    image = shotAlone(gauge);
    QCOMPARE(QColor(image.pixel(3, 11)), QColor(Qt::black));
    int light = 0;
    for (int y = 2; y < 20; ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            light += QColor(image.pixel(x, y)).lightness() > 128;
    QVERIFY2(light > 5, "text lost on the bar");
}

QTEST_MAIN(TestClockGauge)
#include "tst_clockgauge.moc"
