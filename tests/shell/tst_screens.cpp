// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Every window on a small screen at a large scale (a 1280 x 800 screen at 150 %, a 1366 x 768 one
// at 125 %: the screen each run of this test is given): each fits the screen with room for its
// frame, and every control a person uses is whole inside it or in a part that scrolls; the main
// window's sixth button is whole while the five keep their places.

#include "shell/programwindows.h"
#include "shell/startup.h"

#include "common/windowkit.h"
#include "exam/formrevisao.h"
#include "study/formdesempenho.h"
#include "study/formestudo.h"
#include "study/formprovaatual.h"
#include "study/formprovasanteriores.h"
#include "study/formtreino.h"

#include "fakes.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace ProgramWindows;

namespace {
bool operated(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QTextEdit *>(w) || qobject_cast<const QAbstractItemView *>(w) ||
           qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w);
}

// The scroll area holding w, if any (nearest first).
const QScrollArea *scrolledIn(const QWidget *w)
{
    for (const QWidget *p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (auto *area = qobject_cast<const QScrollArea *>(p);
            area && area->widget() && area->widget()->isAncestorOf(w))
            return area;
    return nullptr;
}

// What does not fit on window: every visible control a person uses that lies outside it and is
// not in a scroll area (one that is must have its scroll area inside the window).
QStringList unreachable(QWidget *window)
{
    QStringList out;
    const QRect inside = window->rect();
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window) || !operated(w) || qobject_cast<QAbstractItemView *>(w->parentWidget()))
            continue;
        const QWidget *holder = w;
        while (const QScrollArea *area = scrolledIn(holder))
            holder = area;
        const QRect at(holder->mapTo(window, QPoint(0, 0)), holder->size());
        if (!inside.contains(at))
            out << QStringLiteral("%1 %2 at %3,%4 %5x%6 in %7x%8")
                       .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                       .arg(at.x())
                       .arg(at.y())
                       .arg(at.width())
                       .arg(at.height())
                       .arg(inside.width())
                       .arg(inside.height());
    }
    return out;
}
} // namespace

class TestScreens : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Startup::destroyWindows(); }
    void everyWindowFits();
};

void TestScreens::everyWindowFits()
{
    FakeDialogs dialogs;
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    TempProgramFolder folder;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen->devicePixelRatio() <= 1.0)
        QSKIP("run with a screen of its own, as ctest runs it");
    const QRect available = screen->availableGeometry();
    qInfo("%s: %dx%d available", qPrintable(screen->name()), available.width(), available.height());
    WindowKit::keepWindowsOnScreen(*qApp);
    Startup::createWindows();
    QStringList faults;
    const auto check = [&](QWidget *window, const QString &what) {
        if (!window->isVisible())
            window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCoreApplication::processEvents();
        const QSize frame = WindowKit::frameAllowance(window);
        const QRect framed(window->pos(), window->size() + frame);
        if (!available.contains(framed))
            faults << QStringLiteral("%1: %2x%3 at %4,%5 with its frame does not fit %6x%7")
                          .arg(what)
                          .arg(window->width())
                          .arg(window->height())
                          .arg(window->x())
                          .arg(window->y())
                          .arg(available.width())
                          .arg(available.height());
        for (const QString &f : unreachable(window))
            faults << what + QStringLiteral(": ") + f;
    };

    // The main window: the sixth button whole, the five where they always are.
    formTopo()->show();
    QVERIFY(QTest::qWaitForWindowExposed(formTopo()));
    formTopo()->resize(available.size() - WindowKit::frameAllowance(formTopo())); // maximized
    QCoreApplication::processEvents();
    check(formTopo(), QStringLiteral("principal"));
    const auto button = [](const char *name) {
        return formTopo()->findChild<QToolButton *>(QLatin1String(name));
    };
    const QWidget *toolbar = formTopo()->findChild<QWidget *>(QStringLiteral("Panel2"));
    QToolButton *sexto = button("RxSBEstudo");
    QVERIFY(toolbar && sexto);
    QVERIFY2(sexto->geometry().right() < toolbar->width() - 1,
             qPrintable(QStringLiteral("%1 of %2").arg(sexto->geometry().right()).arg(toolbar->width())));
    QVERIFY(sexto->width() >= 40);
    QCOMPARE(button("RxSBFinalizar")->geometry(), QRect(673, 7, 92, 46));
    QCOMPARE(button("RxSBProva")->geometry(), QRect(287, 7, 92, 46));

    formProva()->ensurePages();
    for (int page = 0; page < 3; ++page) {
        formProva()->Notebook1->setCurrentIndex(page);
        check(formProva(), QStringLiteral("provas, página %1").arg(page));
    }
    formProva()->hide();
    for (QWidget *w : {static_cast<QWidget *>(formPlacas()), static_cast<QWidget *>(formDados()),
                       static_cast<QWidget *>(formCodigo()), static_cast<QWidget *>(formDownload())}) {
        check(w, w->objectName());
        w->hide();
    }

    formTopo()->RxSBEstudoClick();
    TFormEstudo *estudo = formTopo()->estudo();
    check(estudo, QStringLiteral("estudo"));
    for (QWidget *w : {static_cast<QWidget *>(estudo->desempenho()), static_cast<QWidget *>(estudo->treino()),
                       static_cast<QWidget *>(estudo->provasAnteriores())}) {
        check(w, w->objectName());
        w->hide();
    }
    TFormProvaAtual *atual = estudo->provaAtual();
    check(atual, QStringLiteral("formato atual, início"));
    atual->BBIniciarClick();
    check(atual, QStringLiteral("formato atual, prova"));
    dialogs.setDefaultAnswer(true);
    atual->BBFinalizarClick();
    QCOMPARE(atual->pagina(), TFormProvaAtual::Resultado);
    check(atual, QStringLiteral("formato atual, resultado"));
    atual->BBRevisarClick();
    check(atual->Revisao, QStringLiteral("revisão"));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
