// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/errors.h"
#include "controls/winroller.h"

#include "windowdriver.h"

#include <QtTest>

namespace {

// A fixed-size window like the sign query window, shown on screen.
struct Window {
    QWidget w;
    explicit Window(QSize size = QSize(150, 273))
    {
        w.setFixedSize(size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
};

QWidget *buttonOf(QWidget &owner)
{
    return owner.findChild<QWidget *>(QStringLiteral("WinRollerButton"));
}

int countColour(const QImage &image, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += QColor(image.pixel(x, y)) == colour;
    return n;
}

// Points of the button's triangles (button of 16 × 14, restored, not pressed): the middle of the
// upper triangle, the middle of the lower one, the lower one's apex.
const QPoint kUpperInside(7, 4);
const QPoint kLowerInside(7, 8);

} // namespace

class TestWinRoller : public QObject {
    Q_OBJECT
private slots:
    void ownerMustBeWindow();
    void buttonAtTopRightAndDefaults();
    void clickRollsUpAndBack();
    void dragOutAndBackIn();
    void disabledIsGreyedAndDoesNotRoll();
    void rolledUpSurvivesWidening();
    void invisibleButton();
    void destructionGivesTheWindowBack();
};

void TestWinRoller::ownerMustBeWindow()
{
    QWidget window;
    auto *child = new QWidget(&window);
    const int childrenBefore = int(child->children().size());
    try {
        TWinRoller roller(child);
        QFAIL("a control as owner was accepted");
    } catch (const EOwnerError &e) {
        QCOMPARE(e.message(), QStringLiteral("Class of the owner is not a TForm!"));
    }
    QCOMPARE(int(child->children().size()), childrenBefore);
    QVERIFY_THROWS_EXCEPTION(EOwnerError, TWinRoller(nullptr));
}

void TestWinRoller::buttonAtTopRightAndDefaults()
{
    Window win;
    auto *roller = new TWinRoller(&win.w);
    QCOMPARE(roller->Enabled(), false);
    QCOMPARE(roller->Roller(), false);
    QCOMPARE(roller->Visible(), true);
    QWidget *button = buttonOf(win.w);
    QVERIFY(button);
    QVERIFY(button->isVisible());
    QCOMPARE(button->geometry(), QRect(131, 3, 16, 14));
    QCOMPARE(roller->ButtonRect(), button->geometry());
    // The strip the window rolls up to holds the button.
    QVERIFY(roller->rolledHeight() >= button->geometry().bottom() + 1);
    QVERIFY(roller->rolledHeight() < 40);
    // A control added afterwards does not cover the button.
    auto *late = new QWidget(&win.w);
    late->setGeometry(win.w.rect());
    late->show();
    QCoreApplication::processEvents();
    QCOMPARE(win.w.childAt(139, 10), button);
}

void TestWinRoller::clickRollsUpAndBack()
{
    Window win;
    TWinRoller roller(&win.w);
    roller.SetEnabled(true);
    QList<std::pair<TRollerMode, int>> events; // mode and window height when raised
    connect(&roller, &TWinRoller::OnRoller, this, [&](TWinRoller *sender, TRollerMode mode) {
        QCOMPARE(sender, &roller);
        events.append({mode, win.w.height()});
    });
    QWidget *button = buttonOf(win.w);
    QImage restored = button->grab().toImage();
    QCOMPARE(at(restored, kUpperInside), QColor(Qt::black));  // up triangle filled
    QVERIFY(at(restored, kLowerInside) != QColor(Qt::black)); // down one an open chevron

    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 7));
    QVERIFY(roller.Roller());
    QCOMPARE(win.w.height(), roller.rolledHeight());
    QCOMPARE(win.w.width(), 150);
    QVERIFY(button->isVisible());
    // A plain strip covers what is left of the client area, under the button.
    auto *strip = win.w.findChild<QWidget *>(QStringLiteral("WinRollerStrip"));
    QVERIFY(strip && strip->isVisible());
    QCOMPARE(strip->geometry(), QRect(0, 0, 150, roller.rolledHeight()));
    QCOMPARE(win.w.childAt(139, 10), button);
    QCOMPARE(win.w.childAt(50, 10), strip);
    QImage rolled = button->grab().toImage();
    QCOMPARE(at(rolled, kLowerInside), QColor(Qt::black));
    QVERIFY(at(rolled, kUpperInside) != QColor(Qt::black));

    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 7));
    QVERIFY(!roller.Roller());
    QVERIFY(!strip->isVisible());
    QCOMPARE(win.w.size(), QSize(150, 273));
    QCOMPARE(win.w.minimumSize(), QSize(150, 273));
    QCOMPARE(win.w.maximumSize(), QSize(150, 273));
    QCOMPARE(events.size(), 2);
    QCOMPARE(events[0], std::make_pair(TRollerMode::rmRolledUp, roller.rolledHeight()));
    QCOMPARE(events[1], std::make_pair(TRollerMode::rmRestored, 273));

    // The property does the same; setting the same value again changes nothing.
    roller.SetRoller(true);
    roller.SetRoller(true);
    QCOMPARE(win.w.height(), roller.rolledHeight());
    QCOMPARE(events.size(), 3);
    roller.SetRoller(false);
    QCOMPARE(win.w.height(), 273);
    QCOMPARE(events.size(), 4);
}

void TestWinRoller::dragOutAndBackIn()
{
    Window win;
    TWinRoller roller(&win.w);
    roller.SetEnabled(true);
    QWidget *button = buttonOf(win.w);
    const QImage up = button->grab().toImage();
    QCOMPARE(at(up, QPoint(0, 0)), QColor(Qt::white)); // raised frame: light top left

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(8, 7));
    const QImage pushed = button->grab().toImage();
    QVERIFY(at(pushed, QPoint(0, 0)) != QColor(Qt::white)); // pushed in: dark top left
    QVERIFY(roller.Pressed());

    QTest::mouseMove(button, QPoint(-30, 40));
    QVERIFY(!roller.Pressed());
    QCOMPARE(button->grab().toImage(), up);
    QTest::mouseMove(button, QPoint(9, 8));
    QVERIFY(roller.Pressed());
    QCOMPARE(button->grab().toImage(), pushed);
    QVERIFY(!roller.Roller());

    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(9, 8));
    QVERIFY(roller.Roller());
    QCOMPARE(win.w.height(), roller.rolledHeight());
    QVERIFY(!roller.Pressed());
    QVERIFY(!roller.Tracking());

    // Pressed inside and released outside: nothing changes.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(8, 7));
    QTest::mouseMove(button, QPoint(-40, 10));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-40, 10));
    QVERIFY(roller.Roller());
    QCOMPARE(win.w.height(), roller.rolledHeight());
    QVERIFY(!roller.Pressed());
}

void TestWinRoller::disabledIsGreyedAndDoesNotRoll()
{
    Window win;
    TWinRoller roller(&win.w);
    QWidget *button = buttonOf(win.w);
    const QImage grey = button->grab().toImage();
    QCOMPARE(countColour(grey, Qt::black), 0);
    QVERIFY(countColour(grey, QColor(128, 128, 128)) > 10); // engraved triangles
    QCOMPARE(at(grey, QPoint(8, 6)), QColor(Qt::white));    // their white shadow

    roller.SetRoller(true);
    QVERIFY(!roller.Roller());
    QCOMPARE(win.w.height(), 273);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(8, 7));
    QVERIFY(roller.Tracking()); // the press is still tracked
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(8, 7));
    QVERIFY(!roller.Roller());
    QCOMPARE(win.w.height(), 273);

    roller.SetEnabled(true);
    QVERIFY(countColour(button->grab().toImage(), Qt::black) > 10);
}

void TestWinRoller::rolledUpSurvivesWidening()
{
    Window win;
    TWinRoller roller(&win.w);
    roller.SetEnabled(true);
    roller.SetRoller(true);
    const int strip = roller.rolledHeight();
    win.w.setFixedWidth(220);
    QCoreApplication::processEvents();
    QCOMPARE(win.w.size(), QSize(220, strip));
    QCOMPARE(buttonOf(win.w)->geometry(), QRect(201, 3, 16, 14));
    QCOMPARE(win.w.findChild<QWidget *>(QStringLiteral("WinRollerStrip"))->width(), 220);
    // A new fixed size given while rolled up is the size the window comes back to.
    win.w.setFixedSize(230, 300);
    QCoreApplication::processEvents();
    QCOMPARE(win.w.size(), QSize(230, strip));
    QVERIFY(roller.Roller());
    roller.SetRoller(false);
    QCOMPARE(win.w.size(), QSize(230, 300));
    QCOMPARE(win.w.maximumSize(), QSize(230, 300));
}

void TestWinRoller::invisibleButton()
{
    Window win;
    TWinRoller roller(&win.w);
    roller.SetEnabled(true);
    roller.SetVisible(false);
    QWidget *button = buttonOf(win.w);
    QVERIFY(!button->isVisible());
    // Clicks where the button was reach the window.
    QCOMPARE(win.w.childAt(139, 10), nullptr);
    // The property still rolls the window.
    roller.SetRoller(true);
    QCOMPARE(win.w.height(), roller.rolledHeight());
    roller.SetVisible(true);
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 7));
    QCOMPARE(win.w.height(), 273);
}

void TestWinRoller::destructionGivesTheWindowBack()
{
    Window win;
    auto roller = std::make_unique<TWinRoller>(&win.w);
    roller->SetEnabled(true);
    roller->SetRoller(true);
    roller.reset();
    QCOMPARE(buttonOf(win.w), nullptr);
    QCOMPARE(win.w.size(), QSize(150, 273));
    win.w.setFixedSize(160, 280); // no longer watched: nothing rolls it up again
    QCoreApplication::processEvents();
    QCOMPARE(win.w.size(), QSize(160, 280));
}

QTEST_MAIN(TestWinRoller)
#include "tst_winroller.moc"
