// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/spinbutton.h"
#include "controls/winroller.h"
#include "fakes.h"
#include "signs/formplacas.h"
#include "signs/picturestore.h"
#include "windowdriver.h"
#include "windowfakes.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

namespace {

// The sign query window on screen, with the person's ways of using it.
class Window {
public:
    Window()
    {
        if (!showActive(&form))
            qWarning("window not active");
    }

    QLineEdit *edit() const { return form.findChild<QLineEdit *>(QStringLiteral("EditPlaca")); }
    QLabel *image() const { return form.findChild<QLabel *>(QStringLiteral("ImagePlaca")); }
    QLabel *caption() const { return form.findChild<QLabel *>(QStringLiteral("LabelNomePlaca")); }
    TSpinButton *spin() const { return form.findChild<TSpinButton *>(QStringLiteral("SpinButton1")); }
    QToolButton *localizar() const { return form.findChild<QToolButton *>(QStringLiteral("SpeedButton1")); }
    QRadioButton *group(int i) const
    {
        return form.findChild<QRadioButton *>(QStringLiteral("RadioPlacas%1").arg(i));
    }

    // Types text into the code box, after emptying it.
    void type(const QString &text)
    {
        QTest::mouseClick(edit(), Qt::LeftButton);
        edit()->selectAll();
        QTest::keyClick(edit(), Qt::Key_Delete);
        QTest::keyClicks(edit(), text);
    }
    void search(const QString &text)
    {
        type(text);
        QTest::keyClick(edit(), Qt::Key_Return);
    }
    void down() { QTest::mouseClick(spin(), Qt::LeftButton, {}, QPoint(17, 42)); }
    void up() { QTest::mouseClick(spin(), Qt::LeftButton, {}, QPoint(17, 14)); }
    void choose(int item) { QTest::mouseClick(group(item), Qt::LeftButton, {}, QPoint(6, 10)); }

    QString shownCode() const { return caption()->text(); }
    QImage shownPicture() const { return image()->pixmap().toImage(); }

    FakeDesktop desktop;
    FakeDialogs dialogs;
    TFormPlacas form;
};

QImage pictureOf(const QString &name, const QWidget &w)
{
    return CarregarFigura(name, w.devicePixelRatioF()).toImage();
}

// True when every pixel of the image is white.
bool allWhite(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) != QColor(Qt::white))
                return false;
    return true;
}

#define SHOWS(win, picture, code)                                                                            \
    do {                                                                                                     \
        QCOMPARE((win).shownCode(), QStringLiteral(code));                                                   \
        QCOMPARE((win).shownPicture(), pictureOf(QStringLiteral(picture), (win).form));                      \
    } while (false)

} // namespace

class TestFormPlacas : public QObject {
    Q_OBJECT
private slots:
    void firstShowing();
    void typedCodeIsUpperCasedAndFound();
    void searchKeepsTheSelectedGroup();
    void unknownCodeEmptiesPictureAndCaption_data();
    void unknownCodeEmptiesPictureAndCaption();
    void steppingStopsAtTheEnds_data();
    void steppingStopsAtTheEnds();
    void groupChangeRestarts();
    void holdingAnArrowRepeats();
    void arrowKeysWhenTheSpinHasFocus();
    void clickFocusesTheSpinAndTabLandsOnTheChosenGroup();
    void helpAndEscThenShowingKeepsEverything();
    void rollsUpToAStrip();
};

void TestFormPlacas::firstShowing()
{
    Window win;
    QCOMPARE(win.form.windowTitle(), QStringLiteral("Placas"));
    QCOMPARE(win.form.size(), QSize(150, 273));
    QVERIFY(win.form.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(win.form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    QCOMPARE(win.form.findChild<QWidget *>(QStringLiteral("Panel2"))->geometry(), QRect(3, 3, 101, 102));
    QCOMPARE(win.image()->size(), QSize(97, 98));
    QCOMPARE(win.spin()->geometry(), QRect(110, 25, 34, 56));
    QCOMPARE(win.caption()->geometry(), QRect(5, 107, 96, 16));
    QCOMPARE(win.edit()->geometry(), QRect(5, 145, 51, 21));
    QCOMPARE(win.localizar()->geometry(), QRect(65, 142, 76, 23));
    QCOMPARE(win.localizar()->text(), QStringLiteral("Localizar"));
    QVERIFY(!win.localizar()->icon().isNull());
    auto *radio = win.form.findChild<QGroupBox *>(QStringLiteral("RadioGroupPlacas"));
    QCOMPARE(radio->geometry(), QRect(5, 175, 140, 91));
    QCOMPARE(radio->title(), QStringLiteral("Placas de Sinalização"));
    QCOMPARE(win.group(0)->text(), QStringLiteral(" Advertência"));
    QCOMPARE(win.group(1)->text(), QStringLiteral(" Regulamentação"));
    QCOMPARE(win.group(2)->text(), QStringLiteral(" Indicativas/Auxiliares"));
    QCOMPARE(win.form.findChild<QLabel *>(QStringLiteral("Label3"))->text(),
             QStringLiteral("Código para localizar:"));

    // Nothing shown yet, the first group selected, the code box empty and focused.
    QVERIFY(win.image()->pixmap().isNull());
    QCOMPARE(win.shownCode(), QStringLiteral("Placa"));
    QVERIFY(win.group(0)->isChecked());
    QCOMPARE(win.edit()->text(), QString());
    QCOMPARE(QApplication::focusWidget(), win.edit());
    QCOMPARE(win.form.IndiceAdv(), -1);
    QCOMPARE(win.form.IndiceReg(), -1);
    QCOMPARE(win.form.IndiceInd(), 2);
    // The cream background around the controls.
    QCOMPARE(QColor(win.form.grab().toImage().pixel(130, 120)), QColor(255, 251, 240));
}

void TestFormPlacas::typedCodeIsUpperCasedAndFound()
{
    Window win;
    win.type(QStringLiteral("r-10"));
    QCOMPARE(win.edit()->text(), QStringLiteral("R-10"));
    QTest::keyClick(win.edit(), Qt::Key_Return);
    SHOWS(win, "R12", "R-10");
    QCOMPARE(win.form.IndiceReg(), 12);
    QCOMPARE(win.edit()->text(), QStringLiteral("R-10"));
    QCOMPARE(win.form.IndiceAdv(), -1);
    QCOMPARE(win.form.IndiceInd(), 2);

    // The picture stands centred in the white panel, at its own size.
    const QImage shot = win.form.grab().toImage();
    const QPixmap figura = CarregarFigura(QStringLiteral("R12"), 1.0);
    QImage pic(figura.size(), shot.format());
    pic.fill(Qt::white);
    QPainter(&pic).drawPixmap(0, 0, figura);
    const QPoint topLeft(3 + 2 + (97 - pic.width()) / 2, 3 + 2 + (98 - pic.height()) / 2);
    QCOMPARE(shot.copy(QRect(topLeft, pic.size())), pic);
    QCOMPARE(QColor(shot.pixel(8, 8)), QColor(Qt::white));

    // The caption is the code, never the name; the "Localizar" button searches as Enter does.
    win.type(QStringLiteral("R-1"));
    QTest::mouseClick(win.localizar(), Qt::LeftButton);
    SHOWS(win, "R0", "R-1");
    win.search(QStringLiteral("i-9"));
    SHOWS(win, "I7", "I-9");
    QCOMPARE(win.form.IndiceInd(), 7);
}

void TestFormPlacas::searchKeepsTheSelectedGroup()
{
    Window win;
    win.search(QStringLiteral("R-10"));
    win.down();
    SHOWS(win, "A0", "A-1A"); // the warning group is still the selected one
    QVERIFY(win.group(0)->isChecked());
    QCOMPARE(win.form.IndiceReg(), 12);

    // Choosing the regulatory group starts it afresh, whatever was found.
    win.choose(1);
    win.down();
    SHOWS(win, "R0", "R-1");
    // A search in the selected group continues from the found sign.
    win.search(QStringLiteral("R-10"));
    win.down();
    SHOWS(win, "R13", "R-11");
    win.up();
    win.up();
    SHOWS(win, "R11", "R-9");
}

void TestFormPlacas::unknownCodeEmptiesPictureAndCaption_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("no hyphen") << QStringLiteral("R10");
    QTest::newRow("trailing blank") << QStringLiteral("R-10 ");
    QTest::newRow("past the warning signs") << QStringLiteral("A-46");
    QTest::newRow("no such indication sign") << QStringLiteral("I-2");
}

void TestFormPlacas::unknownCodeEmptiesPictureAndCaption()
{
    QFETCH(QString, typed);
    Window win;
    win.search(QStringLiteral("I-10"));
    SHOWS(win, "I10", "I-10");
    win.search(QString()); // Enter on an empty box changes nothing
    SHOWS(win, "I10", "I-10");
    win.search(typed);
    QVERIFY(win.image()->pixmap().isNull());
    QCOMPARE(win.shownCode(), QString());
    QCOMPARE(win.edit()->text(), typed);
    QCOMPARE(win.form.IndiceInd(), 10);
    QCOMPARE(win.dialogs.boxes.size(), 0);
    // The picture panel shows white where the sign was.
    QVERIFY(allWhite(win.form.grab(QRect(5, 5, 97, 98)).toImage()));
}

void TestFormPlacas::steppingStopsAtTheEnds_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("firstPicture");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("lastPicture");
    QTest::addColumn<int>("steps");
    QTest::newRow("warning") << 0 << "A-1A"
                             << "A0"
                             << "A-45"
                             << "A61" << 62;
    QTest::newRow("regulatory") << 1 << "R-1"
                                << "R0"
                                << "R-34"
                                << "R40" << 41;
    QTest::newRow("indication") << 2 << "I-1"
                                << "I3"
                                << "I-23"
                                << "I23" << 21;
}

void TestFormPlacas::steppingStopsAtTheEnds()
{
    QFETCH(int, item);
    QFETCH(QString, first);
    QFETCH(QString, firstPicture);
    QFETCH(QString, last);
    QFETCH(QString, lastPicture);
    QFETCH(int, steps);
    Window win;
    if (item != 0)
        win.choose(item);
    win.up(); // before the first sign the up arrow does nothing
    QCOMPARE(win.shownCode(), QStringLiteral("Placa"));
    win.down();
    QCOMPARE(win.shownCode(), first);
    QCOMPARE(win.shownPicture(), pictureOf(firstPicture, win.form));
    win.up();
    QCOMPARE(win.shownCode(), first);
    for (int i = 1; i < steps; ++i)
        win.down();
    QCOMPARE(win.shownCode(), last);
    win.down();
    QCOMPARE(win.shownCode(), last);
    QCOMPARE(win.shownPicture(), pictureOf(lastPicture, win.form));
}

void TestFormPlacas::groupChangeRestarts()
{
    Window win;
    win.choose(2);
    QVERIFY(win.group(2)->isChecked());
    for (int i = 0; i < 8; ++i)
        win.down();
    SHOWS(win, "I10", "I-10");
    QCOMPARE(win.form.IndiceInd(), 10);

    win.choose(0);
    QCOMPARE(win.shownCode(), QStringLiteral("Placa"));
    QVERIFY(allWhite(win.shownPicture()));
    QVERIFY(allWhite(win.form.grab(QRect(5, 5, 97, 98)).toImage()));
    QCOMPARE(win.form.IndiceInd(), 2);
    win.choose(2);
    win.down();
    SHOWS(win, "I3", "I-1");

    // Clicking the item already selected is no group change.
    win.down();
    win.choose(2);
    SHOWS(win, "I4", "I-3");
}

void TestFormPlacas::holdingAnArrowRepeats()
{
    Window win;
    TSpinButton *spin = win.spin();
    QElapsedTimer clock;
    clock.start();
    QTest::mousePress(spin, Qt::LeftButton, {}, QPoint(17, 42));
    QCOMPARE(win.form.IndiceAdv(), 0); // the press is one step at once
    // The waits below are the holding and the timing checked, not waits for something to happen.
    QTest::qWait(250);
    if (clock.elapsed() < 390)
        QCOMPARE(win.form.IndiceAdv(), 0); // no repeat before 400 ms
    QTest::qWait(750);
    const qint64 held = clock.elapsed();
    QTest::mouseRelease(spin, Qt::LeftButton, {}, QPoint(17, 42));
    const int reached = win.form.IndiceAdv();
    // One step, the first repeat at 400 ms, then one every 100 ms: about 7 by 1 second.
    const int most = 1 + int((held - 400) / 100) + 1;
    QVERIFY2(reached >= 4 && reached <= most,
             qPrintable(QStringLiteral("reached %1 after %2 ms").arg(reached).arg(held)));
    QCOMPARE(win.shownCode(), SignCatalog::code(SignGroup::A, reached));
    // Released: no more steps.
    QTest::qWait(300); // no step comes: the wait is what is checked
    QCOMPARE(win.form.IndiceAdv(), reached);
}

void TestFormPlacas::arrowKeysWhenTheSpinHasFocus()
{
    Window win;
    QCOMPARE(QApplication::focusWidget(), win.edit());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), win.spin());
    QTest::keyClick(win.spin(), Qt::Key_Down);
    QTest::keyClick(win.spin(), Qt::Key_Down);
    SHOWS(win, "A1", "A-1B");
    QTest::keyClick(win.spin(), Qt::Key_Up);
    SHOWS(win, "A0", "A-1A");
    // In the code box the arrow keys do not step.
    win.edit()->setFocus();
    QTest::keyClick(win.edit(), Qt::Key_Down);
    SHOWS(win, "A0", "A-1A");
}

void TestFormPlacas::clickFocusesTheSpinAndTabLandsOnTheChosenGroup()
{
    Window win;
    win.down();
    QCOMPARE(QApplication::focusWidget(), win.spin());
    QTest::keyClick(win.spin(), Qt::Key_Down);
    SHOWS(win, "A1", "A-1B");
    win.choose(2);
    win.edit()->setFocus();
    for (int i = 0; i < 4 && !qobject_cast<QRadioButton *>(QApplication::focusWidget()); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), win.group(2));
    // The arrow keys still move between the items.
    QTest::keyClick(win.group(2), Qt::Key_Up);
    QTRY_VERIFY(win.group(1)->isChecked());
}

void TestFormPlacas::helpAndEscThenShowingKeepsEverything()
{
    Window win;
    win.choose(1);
    win.search(QStringLiteral("R-6C"));
    SHOWS(win, "R8", "R-6C");
    QTest::keyClick(win.edit(), Qt::Key_F1);
    QCOMPARE(win.desktop.helps, QStringList{QStringLiteral("context20")});
    QTest::keyClick(win.edit(), Qt::Key_Escape);
    QVERIFY(!win.form.isVisible());

    win.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win.form));
    SHOWS(win, "R8", "R-6C");
    QVERIFY(win.group(1)->isChecked());
    QCOMPARE(win.edit()->text(), QStringLiteral("R-6C"));
    QCOMPARE(win.form.IndiceReg(), 8);
    win.down();
    SHOWS(win, "R9", "R-7");

    // Esc from the spin control hides the window too.
    win.spin()->setFocus();
    QTest::keyClick(win.spin(), Qt::Key_Escape);
    QVERIFY(!win.form.isVisible());
}

void TestFormPlacas::rollsUpToAStrip()
{
    Window win;
    auto *roller = win.form.findChild<TWinRoller *>(QStringLiteral("WinRoller1"));
    QVERIFY(roller);
    QVERIFY(roller->Enabled());
    auto *button = win.form.findChild<QWidget *>(QStringLiteral("WinRollerButton"));
    QVERIFY(button && button->isVisible());
    // At the top right, clear of the picture and the spin control.
    QVERIFY(button->geometry().left() > 104);
    QVERIFY(button->geometry().bottom() < 25);
    win.search(QStringLiteral("A-12"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(win.form.height(), roller->rolledHeight());
    QCOMPARE(win.form.width(), 150);
    // The strip shows the window's background, not a slice of the picture panel.
    const QImage strip = win.form.grab().toImage();
    QCOMPARE(strip.height(), roller->rolledHeight());
    QCOMPARE(QColor(strip.pixel(50, 8)), QColor(255, 251, 240));
    QCOMPARE(QColor(strip.pixel(4, 4)), QColor(255, 251, 240));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(win.form.size(), QSize(150, 273));
    SHOWS(win, "A19", "A-12");
    QCOMPARE(QColor(win.form.grab().toImage().pixel(50, 8)), QColor(Qt::white));
}

QTEST_MAIN(TestFormPlacas)
#include "tst_formplacas.moc"
