// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/errors.h"
#include "controls/colorconv.h"
#include "controls/leddisplay.h"
#include "controls/ledmeter.h"

#include "windowdriver.h"

#include <QSignalSpy>
#include <QtTest>
#include <functional>
#include <limits>
#include <memory>

namespace {

const QColor kBlack(0, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kShadow(128, 128, 128);
const QColor kHighlight(255, 255, 255);
const QColor kFrame(0, 0, 200);

// A palette whose system colours differ from each other and from every LED colour used here.
QPalette testPalette()
{
    QPalette pal = QGuiApplication::palette();
    pal.setColor(QPalette::Dark, kShadow);
    pal.setColor(QPalette::Light, kHighlight);
    pal.setColor(QPalette::WindowText, kFrame);
    return pal;
}

// Reads the seven segments of the digit cell whose top left corner is (x, y), in the order top,
// upper left, upper right, middle, lower left, lower right, bottom: '1' lit, '0' unlit, ' '
// background, '?' anything else.
QString segments(const QImage &image, int x, int y, const TLEDDisplay &d, QColor lit = kLime)
{
    const int w = d.digitWidth(), h = d.digitHeight(), l = d.digitLineWidth();
    QList<QPoint> probes;
    if (d.segmentStyle() == TLEDDisplay::ssBeveled) {
        const int in = (l + 1) / 2;
        probes = {{w / 2, in},        {in, h / 4},     {w - 1 - in, h / 4},
                  {w / 2, h / 2},     {in, 3 * h / 4}, {w - 1 - in, 3 * h / 4},
                  {w / 2, h - 1 - in}};
    } else { // midpoints of the segment lines
        const int half = l / 2, upper = (3 * l / 2 + h / 2 - l) / 2, lower = (h / 2 + l + h - 3 * l / 2) / 2;
        probes = {{w / 2, half}, {half, upper},         {w - half - 1, upper}, {w / 2, h / 2},
                  {half, lower}, {w - half - 1, lower}, {w / 2, h - half - 1}};
    }
    QString out;
    for (const QPoint &p : probes) {
        const QColor c = at(image, x + p.x(), y + p.y());
        out += c == lit ? '1' : c == d.unlitColor() ? '0' : c == kBlack ? ' ' : '?';
    }
    return out;
}

const QString kDigit[10] = {"1110111", "0010010", "1011101", "1011011", "0111010",
                            "1101011", "0101111", "1010010", "1111111", "1111011"};
const QString kBlank = "       ";

// The question counter of the exam page.
std::unique_ptr<TLEDDisplay> examDisplay()
{
    auto d = std::make_unique<TLEDDisplay>();
    d->setPalette(testPalette());
    d->resize(46, 22);
    d->setNumDigits(3);
    d->setDigitHeight(18);
    d->setDigitWidth(12);
    d->setDigitLineWidth(2);
    d->setLEDContrast(7);
    d->setBevelStyle(TLEDDisplay::bvNone);
    return d;
}

// The score meter of the answer sheet, its properties set in the layout's order.
std::unique_ptr<TLEDMeter> examMeter()
{
    auto m = std::make_unique<TLEDMeter>();
    m->setPalette(testPalette());
    m->resize(103, 22);
    m->setColorLED1(clRed);
    m->setColorLED3(clLime);
    m->setStartColor2(33);
    m->setStartColor3(66);
    return m;
}

// The colours of the exam meter's 20 LEDs, whose middles are at first + i * step: 'R', 'Y',
// 'G' lit, 'r', 'y', 'g' unlit.
QString ledColours(TLEDMeter &m, QPoint first = {3, 10}, QPoint step = {5, 0})
{
    const QImage image = shot(m);
    QString out;
    for (int i = 0; i < 20; ++i) {
        const QColor c = at(image, first.x() + step.x() * i, first.y() + step.y() * i);
        out += c == QColor(255, 0, 0)     ? 'R'
               : c == QColor(255, 255, 0) ? 'Y'
               : c == kLime               ? 'G'
               : c == QColor(102, 0, 0)   ? 'r'
               : c == QColor(102, 102, 0) ? 'y'
               : c == QColor(0, 102, 0)   ? 'g'
                                          : '?';
    }
    return out;
}

QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EColorConv &e) {
        return e.message();
    }
    return {};
}

} // namespace

class TestLed : public QObject {
    Q_OBJECT
private slots:
    void contrastRule_data();
    void contrastRule();
    void conversionErrors();
    void text_data();
    void text();
    void counts();

    void examDisplayDigits();
    void allDigits_data();
    void allDigits();
    void leadingZerosOverflowAndMinus();
    void fractionSeparator();
    void displaySetters();
    void bevelAndBorder();

    void examMeterZones();
    void directions_data();
    void directions();
    void meterClamping();
    void meterPaintsAtOnce();
};

void TestLed::contrastRule_data()
{
    QTest::addColumn<uint>("lit");
    QTest::addColumn<int>("contrast");
    QTest::addColumn<QColor>("unlit");
    QTest::newRow("lime 7 (32-bit factor tips 76.5 up)") << uint(clLime) << 7 << QColor(0, 77, 0);
    // At contrast 1 the 32-bit factor (0.899999976) lies below 0.9 and the 64-bit one above it:
    // a grey of 15 gives 13.4999996 against 13.5000000000000018.
    QTest::newRow("grey 15 at 1 (32-bit factor rounds down)") << uint(0x0F0F0F) << 1 << QColor(13, 13, 13);
    QTest::newRow("red 6") << uint(clRed) << 6 << QColor(102, 0, 0);
    QTest::newRow("yellow 6") << uint(clYellow) << 6 << QColor(102, 102, 0);
    QTest::newRow("lime 6") << uint(clLime) << 6 << QColor(0, 102, 0);
    QTest::newRow("mid grey 6") << uint(0x808080) << 6 << QColor(51, 51, 51);
    QTest::newRow("orange 0 is itself") << uint(0x3C8CF0) << 0 << QColor(240, 140, 60);
    QTest::newRow("violet 0 is itself") << uint(0xA01E5A) << 0 << QColor(90, 30, 160);
    QTest::newRow("button shadow resolved first") << uint(clBtnShadow) << 6 << QColor(51, 51, 51);
    QTest::newRow("window frame at 0") << uint(clWindowFrame) << 0 << kFrame;
}

void TestLed::contrastRule()
{
    QFETCH(uint, lit);
    QFETCH(int, contrast);
    QFETCH(QColor, unlit);
    QCOMPARE(contrastColor(lit, contrast, testPalette()), unlit);
}

void TestLed::conversionErrors()
{
    const auto rgb = [](double r, double g, double b) { return errorOf([=] { rgbToHls({r, g, b}); }); };
    const auto hls = [](double h, double l, double s) { return errorOf([=] { hlsToRgb({h, l, s}); }); };
    QCOMPARE(rgb(1.5, 0, 0), "RGB2HLS: 0 <= Red value <= 1 required");
    QCOMPARE(rgb(0, -0.1, 0), "RGB2HLS: 0 <= Green value <= 1 required");
    QCOMPARE(rgb(0, 0, 2), "RGB2HLS: 0 <= Blue value <= 1 required");
    QCOMPARE(hls(1.1, 0.5, 0.5), "HLS2RGB: 0 <= Hue value <= 1 required");
    QCOMPARE(hls(0.5, -0.5, 0.5), "HLS2RGB: 0 <= Luminance value <= 1 required");
    QCOMPARE(hls(0.5, 0.5, 1.01), "HLS2RGB: 0 <= Saturation value <= 1 required");
    QCOMPARE(rgb(1, 1, 0), QString());
}

void TestLed::text_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("fraction");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("separator");
    QTest::newRow("1234 keeps every digit") << 1234.0 << 0 << "1234" << 0;
    QTest::newRow("2.5 one decimal") << 2.5 << 1 << "025" << 3;
    QTest::newRow("carry into a new digit") << 99.96 << 1 << "1000" << 4;
    QTest::newRow("half away from zero") << 0.125 << 2 << "013" << 2;
    QTest::newRow("negative") << -2.5 << 1 << "-25" << 3;
    QTest::newRow("negative rounding to zero") << -0.01 << 1 << "000" << 3;
    QTest::newRow("undefined") << std::numeric_limits<double>::quiet_NaN() << 0 << "000" << 0;
    QTest::newRow("18 digits") << 123456789012345678901.0 << 0 << "123456789012345684000" << 0;
}

void TestLed::text()
{
    QFETCH(double, value);
    QFETCH(int, fraction);
    QFETCH(QString, text);
    QFETCH(int, separator);
    const LedText t = ledText(value, fraction, 3);
    QCOMPARE(t.text, text);
    QCOMPARE(t.separator, separator);
}

void TestLed::counts()
{
    QCOMPARE(ledCount(20, 100, 33), 7);
    QCOMPARE(ledCount(20, 100, 66), 13);
    QCOMPARE(ledCount(20, 100, 70), 14);
    // Halves go to the even neighbour.
    QCOMPARE(ledCount(10, 4, 1), 2);
    QCOMPARE(ledCount(14, 4, 1), 4);
    QCOMPARE(ledCount(20, 100, -30), 0);
    QCOMPARE(ledCount(20, 0, 30), 0);
}

void TestLed::examDisplayDigits()
{
    const auto d = examDisplay();
    QCOMPARE(d->unlitColor(), QColor(0, 77, 0));
    d->setValue(7);
    QImage image = shot(*d);
    QCOMPARE(segments(image, 1, 2, *d), kDigit[0]);
    QCOMPARE(segments(image, 16, 2, *d), kDigit[0]);
    QCOMPARE(segments(image, 31, 2, *d), kDigit[7]);
    QCOMPARE(at(image, 31 + 6, 2 + 9), QColor(0, 77, 0)); // the 7's middle bar, unlit
    // The frame on the control's edge, black between the cells.
    for (const QPoint &p : {QPoint(0, 0), QPoint(45, 0), QPoint(0, 21), QPoint(45, 21), QPoint(23, 21)})
        QCOMPARE(at(image, p.x(), p.y()), kFrame);
    QCOMPARE(at(image, 14, 11), kBlack);
    QCOMPARE(at(image, 44, 11), kBlack);

    d->setValue(30);
    image = shot(*d);
    QCOMPARE(segments(image, 16, 2, *d), kDigit[3]);
    QCOMPARE(segments(image, 31, 2, *d), kDigit[0]);
}

void TestLed::allDigits_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("bevelled") << int(TLEDDisplay::ssBeveled);
    QTest::newRow("rectangular") << int(TLEDDisplay::ssRectangular);
}

void TestLed::allDigits()
{
    QFETCH(int, style);
    TLEDDisplay d;
    d.setSegmentStyle(TLEDDisplay::TSegmentStyle(style));
    d.setNumDigits(10);
    d.resize(240, 36);
    d.setValue(1234567890);
    const QImage image = shot(d);
    // Cells of 24 pixels, digits 20 x 30 at x = 2 + 24 i, y = 3.
    for (int i = 0; i < 10; ++i)
        QCOMPARE(segments(image, 2 + 24 * i, 3, d), kDigit[(i + 1) % 10]);
}

void TestLed::leadingZerosOverflowAndMinus()
{
    const auto d = examDisplay();
    d->setLeadingZeros(false);
    QImage image = shot(*d);
    for (int y = 1; y < 21; ++y)
        for (int x = 1; x < 45; ++x)
            QVERIFY2(at(image, x, y) == kBlack, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));

    d->setValue(7);
    image = shot(*d);
    QCOMPARE(segments(image, 16, 2, *d), kBlank);
    QCOMPARE(segments(image, 31, 2, *d), kDigit[7]);
    d->setValue(105); // zeros after the first digit are drawn
    QCOMPARE(segments(shot(*d), 16, 2, *d), kDigit[0]);
    d->setValue(-7); // the minus sign stays in the first cell
    image = shot(*d);
    QCOMPARE(segments(image, 1, 2, *d), "0001000");
    QCOMPARE(segments(image, 16, 2, *d), kBlank);

    d->setLeadingZeros(true);
    image = shot(*d);
    QCOMPARE(segments(image, 16, 2, *d), kDigit[0]);
    d->setValue(1234);
    image = shot(*d);
    QCOMPARE(segments(image, 1, 2, *d), kDigit[1]);
    QCOMPARE(segments(image, 16, 2, *d), kDigit[2]);
    QCOMPARE(segments(image, 31, 2, *d), kDigit[3]);
}

void TestLed::fractionSeparator()
{
    TLEDDisplay d;
    d.setNumDigits(3);
    d.setFractionDigits(5);
    QCOMPARE(d.fractionDigits(), 2);
    d.setFractionDigits(1);
    d.setValue(2.5);
    // Cells of 56 pixels: digits at x = 18, 74, 130, y = 3.
    const QImage image = shot(d);
    QCOMPARE(segments(image, 18, 3, d), kDigit[0]);
    QCOMPARE(segments(image, 74, 3, d), kDigit[2]);
    QCOMPARE(segments(image, 130, 3, d), kDigit[5]);
    // The comma's dot just left of the third cell, nothing left of the second.
    QCOMPARE(at(image, 125, 3 + 30 - 6), kLime);
    QCOMPARE(at(image, 69, 3 + 30 - 6), kBlack);
}

void TestLed::displaySetters()
{
    const auto d = examDisplay();
    QSignalSpy changed(d.get(), &TLEDDisplay::changed);
    d->setValue(12);
    d->setValue(12);
    QCOMPARE(changed.count(), 1);

    d->setLEDContrast(10);
    QCOMPARE(d->ledContrast(), 7);
    QCOMPARE(d->unlitColor(), QColor(0, 77, 0));
    d->setNumDigits(0);
    QCOMPARE(d->numDigits(), 3);
    QCOMPARE(segments(shot(*d), 31, 2, *d), kDigit[2]);

    // A new colour or contrast rebuilds the digits.
    d->setLEDContrast(6);
    d->setColorLED(clRed);
    QCOMPARE(d->unlitColor(), QColor(102, 0, 0));
    QCOMPARE(segments(shot(*d), 31, 2, *d, QColor(255, 0, 0)), kDigit[2]);
    d->setLEDContrast(0);
    QCOMPARE(segments(shot(*d), 31, 2, *d, QColor(255, 0, 0)), "1111111");
}

void TestLed::bevelAndBorder()
{
    TLEDDisplay d;
    d.setPalette(testPalette());
    QImage image = shot(d);
    // Lowered: shadow along the top and left, highlight along the bottom and right; the border
    // just inside.
    const QList<QPoint> shadowSide{{80, 0}, {167, 0}, {0, 20}};
    const QList<QPoint> highlightSide{{0, 35}, {80, 35}, {167, 20}};
    for (const QPoint &p : shadowSide)
        QCOMPARE(at(image, p.x(), p.y()), kShadow);
    for (const QPoint &p : highlightSide)
        QCOMPARE(at(image, p.x(), p.y()), kHighlight);
    QCOMPARE(at(image, 80, 1), kFrame);
    QCOMPARE(at(image, 166, 20), kFrame);

    d.setBevelStyle(TLEDDisplay::bvRaised);
    d.setBorderStyle(TLEDDisplay::bsNone);
    image = shot(d);
    QCOMPARE(at(image, 80, 0), kHighlight);
    QCOMPARE(at(image, 80, 35), kShadow);
    QCOMPARE(at(image, 80, 1), kBlack);

    const auto m = examMeter();
    image = shot(*m);
    QCOMPARE(at(image, 50, 0), kShadow);
    QCOMPARE(at(image, 102, 10), kHighlight);
}

void TestLed::examMeterZones()
{
    const auto m = examMeter();
    QCOMPARE(ledColours(*m), "rrrrrrryyyyyyggggggg");
    m->setPosition(50);
    QCOMPARE(ledColours(*m), "RRRRRRRYYYyyyggggggg");
    m->setPosition(70);
    QCOMPARE(ledColours(*m), "RRRRRRRYYYYYYGgggggg");
    m->setPosition(50);
    m->setSingleLED(true);
    QCOMPARE(ledColours(*m), "rrrrrrryyYyyyggggggg");

    // Cells 5 wide and 20 high from x = 1, sharing black separator lines.
    const QImage image = shot(*m);
    for (int i = 0; i <= 20; ++i)
        QCOMPARE(at(image, 1 + 5 * i, 10), kBlack);
    QCOMPARE(at(image, 3, 1), kBlack);
    QCOMPARE(at(image, 3, 20), kBlack);
    QCOMPARE(at(image, 3, 19), QColor(102, 0, 0));

    m->setLEDContrast(10);
    QCOMPARE(m->ledContrast(), 6);
    m->setNumDigits(0);
    QCOMPARE(m->numDigits(), 20);
}

void TestLed::directions_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("step");
    // The middle of LED 0 and the distance to the next one.
    QTest::newRow("right") << int(TLEDMeter::mdRight) << QPoint(3, 10) << QPoint(5, 0);
    QTest::newRow("left") << int(TLEDMeter::mdLeft) << QPoint(98, 10) << QPoint(-5, 0);
    QTest::newRow("down") << int(TLEDMeter::mdDown) << QPoint(10, 3) << QPoint(0, 5);
    QTest::newRow("up") << int(TLEDMeter::mdUp) << QPoint(10, 99) << QPoint(0, -5);
}

void TestLed::directions()
{
    QFETCH(int, direction);
    QFETCH(QPoint, first);
    QFETCH(QPoint, step);
    const auto m = examMeter();
    m->setDirection(TLEDMeter::TMeterDirection(direction));
    if (step.x() == 0)
        m->resize(22, 103);
    m->setPosition(50);
    QCOMPARE(ledColours(*m, first, step), "RRRRRRRYYYyyyggggggg");
}

void TestLed::meterClamping()
{
    TLEDMeter m;
    // Each zone start is clamped against the other as it stands: the order matters.
    m.setStartColor3(66);
    m.setStartColor2(33);
    QCOMPARE(m.startColor2(), 33);
    QCOMPARE(m.startColor3(), 75);
    m.setStartColor2(150);
    QCOMPARE(m.startColor2(), 75);

    TLEDMeter bounds;
    bounds.setMax(80);
    QCOMPARE(bounds.startColor3(), 80);
    bounds.setMin(78);
    QCOMPARE(bounds.startColor2(), 78);

    QSignalSpy changed(&m, &TLEDMeter::changed);
    m.setPosition(150);
    QCOMPARE(m.position(), 100);
    m.setPosition(150); // differs from the stored 100, so it counts though nothing changes
    QCOMPARE(changed.count(), 2);
    m.setPosition(100);
    QCOMPARE(changed.count(), 2);
    m.setMin(10);
    m.setPosition(5);
    QCOMPARE(m.position(), 10);
    QCOMPARE(changed.count(), 3);
}

void TestLed::meterPaintsAtOnce()
{
    QWidget window;
    auto *m = new TLEDMeter(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PaintCounter counter;
    m->installEventFilter(&counter);
    m->setPosition(40);
    QCOMPARE(counter.count, 1);
    m->setLEDContrast(3); // the one deferred repaint
    QCOMPARE(counter.count, 1);
    QTRY_COMPARE(counter.count, 2);
}

QTEST_MAIN(TestLed)
#include "tst_led.moc"
