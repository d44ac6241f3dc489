// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The signage reference window as a student uses it: typing a code and searching, choosing a sign
// group and stepping through it, stepping the road markings and the plate kinds, and closing.

#include "signs/formdados.h"
#include "signs/picturestore.h"

#include "controls/panel.h"
#include "controls/shadowlabel.h"
#include "controls/spinbutton.h"

#include "fakes.h"
#include "windowdriver.h"
#include "windowfakes.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

namespace {
bool samePicture(const QPixmap &shown, const QString &name)
{
    const QPixmap expected = CarregarFigura(name, 1.0);
    return !expected.isNull() && shown.toImage() == expected.toImage();
}

bool allWhite(const QPixmap &pm)
{
    if (pm.isNull())
        return false;
    const QImage img = pm.toImage();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != QColor(Qt::white))
                return false;
    return true;
}
} // namespace

class TestFormDados : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstShowing();
    void firstStepShowsFirstWarningSign();
    void searchWithEnterUpperCases();
    void searchButtonKeepsSelectedGroup();
    void notFoundEmptiesSignOnly_data();
    void notFoundEmptiesSignOnly();
    void emptyBoxChangesNothing();
    void indicationGroupEnds();
    void groupChangeRestartsSigns();
    void roadMarkings();
    void plates();
    void groupChangeRestartsPlates();
    void escapeAndCancelHide();
    void helpKey();
    void spinKeys();
    void carDrawnOverRoad();

private:
    void down(TSpinButton *spin, int times = 1);
    void up(TSpinButton *spin, int times = 1);
    void search(const QString &typed);
    void selectGroup(int item);
    std::unique_ptr<TFormDados> w;
    std::unique_ptr<FakeDialogs> m_dialogs;
};

void TestFormDados::init()
{
    m_dialogs = std::make_unique<FakeDialogs>();
    w = std::make_unique<TFormDados>();
    QVERIFY(showActive(w.get()));
}

void TestFormDados::cleanup()
{
    w.reset();
    m_dialogs.reset();
}

void TestFormDados::down(TSpinButton *spin, int times)
{
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(spin, Qt::LeftButton, {}, spin->downRect().center());
}

void TestFormDados::up(TSpinButton *spin, int times)
{
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(spin, Qt::LeftButton, {}, spin->upRect().center());
}

void TestFormDados::search(const QString &typed)
{
    w->EditPlaca->setFocus();
    w->EditPlaca->clear();
    QTest::keyClicks(w->EditPlaca, typed);
    QTest::keyClick(w->EditPlaca, Qt::Key_Return);
}

void TestFormDados::selectGroup(int item)
{
    // On the round button, as a person clicks it.
    QRadioButton *radio = w->RadioItems[item];
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
    QVERIFY(w->RadioItems[item]->isChecked());
}

void TestFormDados::firstShowing()
{
    QCOMPARE(w->size(), QSize(692, 410));
    QCOMPARE(w->windowTitle(), QStringLiteral("Sinalização"));
    QVERIFY(w->ImagePlaca->pixmap().isNull());
    QVERIFY(w->ImageFaixa->pixmap().isNull());
    QVERIFY(w->ImagePlacaCarro->pixmap().isNull());
    QVERIFY(!w->Image7->pixmap().isNull());
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("Nome da Placa"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Descrição"));
    QCOMPARE(w->LabelNomeFaixa->text(), QStringLiteral("Descrição da Linha de Divisão"));
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral("Descrição da Placa"));
    QVERIFY(w->RadioItems[0]->isChecked());
    QCOMPARE(w->RadioItems[0]->text(), QStringLiteral(" Advertência"));
    QCOMPARE(w->RadioItems[2]->text(), QStringLiteral(" Indicativas/Serviços Auxiliares"));
    QVERIFY(w->EditPlaca->text().isEmpty());
    QCOMPARE(w->RxLabel8->text(), QStringLiteral(" Placas de Sinalização"));
    QCOMPARE(w->RxLabel10->text(), QStringLiteral(" Linhas de Divisão de Fluxos"));
    QCOMPARE(w->RxLabel9->text(), QStringLiteral(" Placas de Identificação"));
    QCOMPARE(w->BitBtn3->text(), QStringLiteral("Cancelar"));
    QCOMPARE(w->SBProcuraPlaca->toolTip(),
             QStringLiteral("Clique aqui ou pressione <Enter> no\ncampo ao lado para localizar a placa"));
    // The layout's key positions.
    QCOMPARE(w->Panel5->geometry(), QRect(237, 42, 115, 114));
    QCOMPARE(w->ImagePlaca->size(), QSize(111, 110));
    QCOMPARE(w->ImageFaixa->size(), QSize(152, 110));
    QCOMPARE(w->Image7->geometry(), QRect(31, 72, 94, 36));
    QCOMPARE(w->EditPlaca->geometry(), QRect(356, 56, 51, 24));
    QCOMPARE(w->SpinButton1->geometry(), QRect(626, 90, 51, 65));
    QCOMPARE(w->SpinButton3->geometry(), QRect(189, 296, 51, 65));
    QCOMPARE(w->BitBtn3->geometry(), QRect(585, 335, 91, 33));
    QCOMPARE(w->Panel4->geometry(), QRect(0, 385, 692, 25));
}

void TestFormDados::firstStepShowsFirstWarningSign()
{
    up(w->SpinButton2); // before the first sign: nothing
    QVERIFY(w->ImagePlaca->pixmap().isNull());
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("Nome da Placa"));
    down(w->SpinButton2);
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("A0")));
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("A-1A"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Curva acentuada à esquerda"));
    down(w->SpinButton2, 6);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("A-4A"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Curva acentuada em \"s\" à esquerda"));
    up(w->SpinButton2);
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("A5")));
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("A-3B"));
    // To the last warning sign and no further.
    down(w->SpinButton2, 60);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("A-45"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Rua sem saída"));
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("A61")));
    QCOMPARE(w->positions().IndiceAdv(), 61);
}

void TestFormDados::searchWithEnterUpperCases()
{
    w->EditPlaca->setFocus();
    QTest::keyClicks(w->EditPlaca, QStringLiteral("r-10"));
    QCOMPARE(w->EditPlaca->text(), QStringLiteral("R-10"));
    QTest::keyClick(w->EditPlaca, Qt::Key_Return);
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("R12")));
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("R-10"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Proibido trânsito de veículos automotores"));
    QCOMPARE(w->EditPlaca->text(), QStringLiteral("R-10"));
    QCOMPARE(w->positions().IndiceReg(), 12);
    QCOMPARE(w->positions().IndiceAdv(), -1);
    // Enter was taken by the search: the window is still shown and the box keeps the focus.
    QVERIFY(w->isVisible());
    QCOMPARE(QApplication::focusWidget(), w->EditPlaca);
}

void TestFormDados::searchButtonKeepsSelectedGroup()
{
    w->EditPlaca->setFocus();
    QTest::keyClicks(w->EditPlaca, QStringLiteral("I-9"));
    QTest::mouseClick(w->SBProcuraPlaca, Qt::LeftButton);
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("I7")));
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("I-9"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Via interrompida"));
    QVERIFY(w->RadioItems[0]->isChecked());
    // The next step goes through the selected group (warning signs), not group I.
    down(w->SpinButton2);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("A-1A"));
    // With the regulatory group selected, a found regulatory sign is where stepping continues.
    selectGroup(1);
    search(QStringLiteral("R-34"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Circulação exclusiva de bicicletas"));
    down(w->SpinButton2);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("R-34"));
    up(w->SpinButton2);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("R-33"));
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("R39")));
}

void TestFormDados::notFoundEmptiesSignOnly_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("no code") << QStringLiteral("XYZ");
    QTest::newRow("no hyphen") << QStringLiteral("R10");
    QTest::newRow("trailing blank") << QStringLiteral("R-10 ");
    QTest::newRow("leading blank") << QStringLiteral(" R-10");
    QTest::newRow("empty I place") << QStringLiteral("I-2");
    QTest::newRow("past the end") << QStringLiteral("A-46");
}

void TestFormDados::notFoundEmptiesSignOnly()
{
    QFETCH(QString, typed);
    down(w->SpinButton2, 3);
    down(w->SpinButton1, 2);
    down(w->SpinButton3, 4);
    search(typed);
    QVERIFY(w->ImagePlaca->pixmap().isNull());
    QVERIFY(w->LabelNomePlaca->text().isEmpty());
    QVERIFY(w->LabelDescricaoPlaca->text().isEmpty());
    QCOMPARE(w->EditPlaca->text(), typed.toUpper());
    QVERIFY(m_dialogs->boxes.isEmpty());
    // No position moved: the next step shows the fourth warning sign.
    QCOMPARE(w->positions().IndiceAdv(), 2);
    down(w->SpinButton2);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("A-2B"));
    // The road-marking and plate sections are untouched.
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA2")));
    QCOMPARE(w->LabelNomeFaixa->text(),
             QStringLiteral("Faixa de divisão de fluxos opostos - Permitido ultrapassar"));
    QVERIFY(samePicture(w->ImagePlacaCarro->pixmap(), QStringLiteral("PLC4")));
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral(" Experiência"));
}

void TestFormDados::emptyBoxChangesNothing()
{
    down(w->SpinButton2);
    w->EditPlaca->setFocus();
    QTest::keyClick(w->EditPlaca, Qt::Key_Return);
    QTest::mouseClick(w->SBProcuraPlaca, Qt::LeftButton);
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("A0")));
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("A-1A"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Curva acentuada à esquerda"));
}

void TestFormDados::indicationGroupEnds()
{
    down(w->SpinButton2, 2);
    selectGroup(2);
    // The group change paints the picture white and puts the captions back.
    QVERIFY(allWhite(w->ImagePlaca->pixmap()));
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("Nome da Placa"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Descrição"));
    up(w->SpinButton2); // before the first sign: nothing
    QVERIFY(allWhite(w->ImagePlaca->pixmap()));
    down(w->SpinButton2);
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("I3")));
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("I-1"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Rodovia panamericana"));
    up(w->SpinButton2); // at "I-1": nothing moves, the sign stays
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("I3")));
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("I-1"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Rodovia panamericana"));
    down(w->SpinButton2, 25);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("I-23"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Ponto de parada"));
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("I23")));
    QCOMPARE(w->positions().IndiceInd(), 23);
}

void TestFormDados::groupChangeRestartsSigns()
{
    selectGroup(2);
    down(w->SpinButton2, 8);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("I-10"));
    selectGroup(0);
    selectGroup(2);
    down(w->SpinButton2);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("I-1"));
    // A click on the item already selected is no group change.
    down(w->SpinButton2);
    selectGroup(2);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("I-3"));
    // The regulatory group starts at "R-1" after a change.
    selectGroup(1);
    down(w->SpinButton2);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("R-1"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Parada obrigatória"));
}

void TestFormDados::roadMarkings()
{
    up(w->SpinButton1); // nothing shown yet: nothing happens
    QVERIFY(w->ImageFaixa->pixmap().isNull());
    QCOMPARE(w->LabelNomeFaixa->text(), QStringLiteral("Descrição da Linha de Divisão"));
    down(w->SpinButton1);
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA1")));
    QCOMPARE(w->LabelNomeFaixa->text(),
             QStringLiteral("Faixa de divisão de fluxos opostos - Proibido ultrapassar"));
    down(w->SpinButton1, 6);
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA7")));
    QCOMPARE(w->LabelNomeFaixa->text(),
             QStringLiteral("Faixa de divisão de fluxo do mesmo sentido - Permitido ultrapassar"));
    down(w->SpinButton1); // an eighth press changes nothing
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA7")));
    QCOMPARE(w->positions().IndiceFaixa(), 7);
    up(w->SpinButton1, 2);
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA5")));
    up(w->SpinButton1, 10);
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA1")));
    // A sign group change leaves the road markings alone.
    selectGroup(1);
    down(w->SpinButton1);
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA2")));
}

void TestFormDados::plates()
{
    const QStringList labels{QStringLiteral(" Particular"), QStringLiteral(" Aluguel"),
                             QStringLiteral(" Oficial"),    QStringLiteral(" Experiência"),
                             QStringLiteral(" Fabricante"), QStringLiteral(" Aprendizado")};
    up(w->SpinButton3);
    QVERIFY(w->ImagePlacaCarro->pixmap().isNull());
    for (int i = 0; i < labels.size(); ++i) {
        down(w->SpinButton3);
        QCOMPARE(w->LabelPlacaCarro->text(), labels[i]);
        QVERIFY(samePicture(w->ImagePlacaCarro->pixmap(), QStringLiteral("PLC%1").arg(i + 1)));
    }
    down(w->SpinButton3);
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral(" Aprendizado"));
    QVERIFY(samePicture(w->ImagePlacaCarro->pixmap(), QStringLiteral("PLC6")));
    up(w->SpinButton3);
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral(" Fabricante"));
    up(w->SpinButton3, 9);
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral(" Particular"));
}

void TestFormDados::groupChangeRestartsPlates()
{
    down(w->SpinButton3, 3);
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral(" Oficial"));
    selectGroup(1);
    // The plate stays on show until the next step.
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral(" Oficial"));
    QVERIFY(samePicture(w->ImagePlacaCarro->pixmap(), QStringLiteral("PLC3")));
    up(w->SpinButton3); // back at 0: a step back does nothing
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral(" Oficial"));
    down(w->SpinButton3);
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral(" Particular"));
    QVERIFY(samePicture(w->ImagePlacaCarro->pixmap(), QStringLiteral("PLC1")));
}

void TestFormDados::escapeAndCancelHide()
{
    selectGroup(1);
    search(QStringLiteral("R-5"));
    down(w->SpinButton1);
    down(w->SpinButton3, 2);
    w->EditPlaca->setFocus();
    QTest::keyClick(w->EditPlaca, Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    // Opened again as the main window does: everything as it was.
    w->setWindowTitle(QStringLiteral("Sinalização"));
    QVERIFY(showActive(w.get()));
    w->EditPlaca->setFocus();
    QCOMPARE(w->EditPlaca->text(), QStringLiteral("R-5"));
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("R-5"));
    QCOMPARE(w->LabelDescricaoPlaca->text(), QStringLiteral("Proibido retornar à esquerda"));
    QVERIFY(samePicture(w->ImagePlaca->pixmap(), QStringLiteral("R5")));
    QVERIFY(w->RadioItems[1]->isChecked());
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA1")));
    QCOMPARE(w->LabelPlacaCarro->text(), QStringLiteral(" Aluguel"));
    down(w->SpinButton2);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("R-6A"));
    // Esc from the radio group and a click on "Cancelar" close the window too.
    w->RadioItems[1]->setFocus();
    QTest::keyClick(w->RadioItems[1], Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QVERIFY(showActive(w.get()));
    QTest::mouseClick(w->BitBtn3, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    // Enter on a focused "Cancelar" presses it.
    QVERIFY(showActive(w.get()));
    w->BitBtn3->setFocus();
    QTest::keyClick(w->BitBtn3, Qt::Key_Return);
    QVERIFY(!w->isVisible());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestFormDados::helpKey()
{
    FakeDesktop desktop;
    w->EditPlaca->setFocus();
    QTest::keyClick(w->EditPlaca, Qt::Key_F1);
    QCOMPARE(desktop.helps, QStringList{QStringLiteral("context20")});
    QVERIFY(w->isVisible());
}

void TestFormDados::spinKeys()
{
    w->SpinButton1->setFocus();
    QTest::keyClick(w->SpinButton1, Qt::Key_Down);
    QTest::keyClick(w->SpinButton1, Qt::Key_Down);
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA2")));
    QTest::keyClick(w->SpinButton1, Qt::Key_Up);
    QVERIFY(samePicture(w->ImageFaixa->pixmap(), QStringLiteral("FAIXA1")));
    // The Tab key goes from the code box to the sign stepper.
    w->EditPlaca->setFocus();
    QTest::keyClick(w->EditPlaca, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w->SpinButton2);
    QTest::keyClick(w->SpinButton2, Qt::Key_Down);
    QCOMPARE(w->LabelNomePlaca->text(), QStringLiteral("A-1A"));
}

void TestFormDados::carDrawnOverRoad()
{
    down(w->SpinButton1, 6);
    const QImage panel = w->Panel7->grab().toImage();
    // The road picture shows in the middle of the panel; below the lines, the car hides the road.
    const QImage road = CarregarFigura(QStringLiteral("FAIXA6"), 1.0).toImage();
    const QPoint pictureTopLeft(2 + (152 - 150) / 2, 2 + (110 - 55) / 2);
    QCOMPARE(panel.pixelColor(pictureTopLeft + QPoint(5, 5)), road.pixelColor(5, 5));
    const QPoint carMiddle = w->Image7->geometry().center();
    QVERIFY(panel.pixelColor(carMiddle) != QColor(128, 128, 128));
}

QTEST_MAIN(TestFormDados)
#include "tst_formdados.moc"
