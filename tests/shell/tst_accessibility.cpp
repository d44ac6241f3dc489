// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Every interactive control of every window can be named by a screen reader, and the displays
// that show a value (LED counter, traffic light, gauge, meter, verdict) tell it as text.

#include "shell/formtopo.h"
#include "shell/programwindows.h"
#include "shell/startup.h"

#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "controls/gauge.h"
#include "controls/leddisplay.h"
#include "controls/ledmeter.h"
#include "controls/sinaltraffic.h"
#include "download/formdownload.h"
#include "exam/formprova.h"
#include "signs/formdados.h"
#include "signs/formplacas.h"
#include "study/formdesempenho.h"
#include "study/formprovaatual.h"
#include "study/history.h"

#include "fakes.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

using namespace ProgramWindows;

namespace {
// True for a control a person operates (clicks, types into, moves through).
bool interactive(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w) ||
           qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractSpinBox *>(w) || w->cursor().shape() == Qt::PointingHandCursor ||
           (w->focusPolicy() & Qt::TabFocus && !w->isWindow());
}

// True for a part of a compound control (a header of a grid, the list of a combo box), named by
// the control it belongs to.
bool partOfAnother(const QWidget *w)
{
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QAbstractItemView *>(p) || qobject_cast<const QComboBox *>(p))
            return true;
    return false;
}

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}
} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasAName();
    void displaysTellTheirValue();
    void studyWindowsTellWhatTheyShow();
    void tabReachesEveryControl();
};

void TestAccessibility::everyControlHasAName()
{
    FakeDialogs dialogs;
    TempProgramFolder folder;
    Startup::createWindows();
    formProva()->ensurePages();
    formPlacas()->ensureControls();
    formDados()->ensureControls();
    formCodigo()->ensureControls();
    formDownload()->ensureControls();
    QStringList unnamed;
    for (QWidget *window : {static_cast<QWidget *>(formTopo()), static_cast<QWidget *>(formProva()),
                            static_cast<QWidget *>(formPlacas()), static_cast<QWidget *>(formDados()),
                            static_cast<QWidget *>(formCodigo()), static_cast<QWidget *>(formDownload())}) {
        for (QWidget *w : window->findChildren<QWidget *>()) {
            // Parts of Qt's own compound controls (scroll bars, viewports, header sections) are
            // named by the control they belong to.
            if (w->objectName().startsWith(QLatin1String("qt_")) || partOfAnother(w) || !interactive(w))
                continue;
            if (accessibleName(w).isEmpty())
                unnamed << window->objectName() + QLatin1Char('/') + w->objectName() + QStringLiteral(" (") +
                               QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(')');
        }
    }
    Startup::destroyWindows();
    QVERIFY2(unnamed.isEmpty(),
             qPrintable(QStringLiteral("no accessible name: ") + unnamed.join(QStringLiteral(", "))));
}

void TestAccessibility::displaysTellTheirValue()
{
    TLEDDisplay led;
    led.setValue(17);
    QCOMPARE(accessibleName(&led), QStringLiteral("17"));
    TSinalTraffic light;
    light.setState(TSinalTraffic::sGreen);
    QCOMPARE(accessibleName(&light), QStringLiteral("Certa"));
    light.setState(TSinalTraffic::sRed);
    QCOMPARE(accessibleName(&light), QStringLiteral("Errada"));
    TGauge gauge;
    gauge.setMin(0);
    gauge.setMax(100);
    gauge.setProgress(70);
    QCOMPARE(accessibleName(&gauge), QStringLiteral("70%"));
    TLEDMeter meter;
    meter.setMin(0);
    meter.setMax(100);
    meter.setPosition(66);
    QCOMPARE(accessibleName(&meter), QStringLiteral("66%"));
}

// The countdown says its value with what it is; the performance chart has a name and says in
// words what it draws; "Treinar" names its subject.
void TestAccessibility::studyWindowsTellWhatTheyShow()
{
    FakeDialogs dialogs;
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    TempProgramFolder folder;
    TFormProvaAtual atual;
    atual.show();
    atual.BBIniciarClick();
    QCOMPARE(accessibleName(atual.LabelTempo), QStringLiteral("Tempo restante: 60 minutos e 0 segundos"));
    clock.local = clock.local.addSecs(65);
    atual.updateCountdown();
    QCOMPARE(accessibleName(atual.LabelTempo), QStringLiteral("Tempo restante: 58 minutos e 55 segundos"));

    for (int day = 2; day <= 3; ++day) {
        HistoryExam e;
        e.type = 10; // Sinalização, questions 201..230
        e.start = QDateTime(QDate(2026, 12, day), QTime(10, 0));
        e.end = e.start.addSecs(600);
        for (int i = 0; i < 30; ++i)
            e.answers << HistoryAnswer{201 + i, QStringLiteral("A"), i < 10 + 12 * (day - 2), QString(), -1};
        QVERIFY(History::instance().store(e));
    }
    TFormDesempenho desempenho;
    desempenho.setTreinar([](int) {});
    desempenho.show();
    QCOMPARE(accessibleName(desempenho.Grafico), QStringLiteral("Gráfico dos acertos nas últimas provas"));
    QAccessibleInterface *chart = QAccessible::queryAccessibleInterface(desempenho.Grafico);
    QCOMPARE(chart->text(QAccessible::Description),
             QStringLiteral("2 provas (0 sorteadas, 2 de listas fixas): de 10 a 22 acertos; 1 com 20 acertos "
                            "ou mais. A última, "
                            "em 03/12/2026 10:00: 22."));
    QCOMPARE(accessibleName(desempenho.BBTreinar), QStringLiteral("Treinar Sinalização"));
    atual.close();
}

void TestAccessibility::tabReachesEveryControl()
{
    // In the exam, sign and code windows Tab alone reaches every control the mouse can use.
    FakeDialogs dialogs;
    TempProgramFolder folder;
    Startup::createWindows();
    formProva()->ensurePages();
    QStringList unreached;
    auto walk = [&](QWidget *window, QWidget *page) {
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QSet<QWidget *> reached;
        for (int i = 0; i < 200; ++i) {
            if (QWidget *f = QApplication::focusWidget())
                reached.insert(f);
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Tab);
        }
        for (QWidget *w : page->findChildren<QWidget *>()) {
            if (w->objectName().startsWith(QLatin1String("qt_")) || partOfAnother(w) || !interactive(w) ||
                !w->isVisibleTo(window) || !w->isEnabled())
                continue;
            // A group of items is one stop of the Tab key; the arrows move inside it.
            const bool groupReached =
                qobject_cast<QRadioButton *>(w) &&
                std::any_of(reached.begin(), reached.end(), [w](QWidget *r) {
                    return qobject_cast<QRadioButton *>(r) && r->parentWidget() == w->parentWidget();
                });
            // The reader's text view stays out of the Tab order, as the window is laid out; its
            // chapter list and find reach every place in it.
            if (!reached.contains(w) && !groupReached && w->objectName() != QLatin1String("RichEdit"))
                unreached << window->objectName() + QLatin1Char('/') + w->objectName();
        }
        window->hide();
    };
    formProva()->showSelectionPage();
    walk(formProva(), formProva()->Notebook1->widget(0));
    formProva()->BitBtn1Click();
    walk(formProva(), formProva()->Notebook1->widget(1));
    formPlacas()->ensureControls();
    walk(formPlacas(), formPlacas());
    formDados()->ensureControls();
    walk(formDados(), formDados());
    formCodigo()->ensureControls();
    walk(formCodigo(), formCodigo());
    Startup::destroyWindows();
    QVERIFY2(unreached.isEmpty(),
             qPrintable(QStringLiteral("not reached by Tab: ") + unreached.join(QStringLiteral(", "))));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
