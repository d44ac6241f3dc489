// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formtopo.h"

#include "controls/artwork.h"
#include "status.h"
#include "versioninfo.h"

#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/maker.h"
#include "common/windowkit.h"
#include "controls/panel.h"
#include "download/formdownload.h"
#include "exam/formprova.h"
#include "signs/formdados.h"
#include "study/formestudo.h"
#include "study/formprovaatual.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QToolButton>

#include <algorithm>

namespace {
const QColor kCream(255, 251, 240);
constexpr int kDesignedWidth = 800;
constexpr int kDesignedHeight = 81;
} // namespace

TFormTopo::TFormTopo(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormTopo"));
    resize(kDesignedWidth, kDesignedHeight);
    WindowKit::fillBackground(this, kCream);

    Panel1 = WindowKit::make<TPanel>(this, "Panel1");
    Panel1->setBevelOuter(TPanel::bvNone);
    Panel1->setColor(kCream);

    Panel2 = WindowKit::make<TPanel>(Panel1, "Panel2");
    Panel2->setBevelInner(TPanel::bvRaised);
    Panel2->setBevelOuter(TPanel::bvLowered);
    Panel2->setColor(kCream);

    Image1 = WindowKit::make<QLabel>(Panel2, "Image1", QRect(7, 9, 278, 41));
    Image1->setPixmap(Artwork::smallBanner(devicePixelRatioF()));
    WindowKit::onClick(Image1, [this] { Image1Click(); });
    Hints::set(Image1, QStringLiteral("Clique aqui para download de nossos produtos"));

    // The toolbar's five buttons, 92 x 46 each, glyph beside the caption.
    const auto toolButton = [this](const char *name, int left, const QString &caption, const char *glyph) {
        return WindowKit::button<QToolButton>(Panel2, name, QRect(left, 7, 92, 46), caption,
                                              Artwork::glyph(this, glyph, 32), 32);
    };
    RxSBProva = toolButton("RxSBProva", 287, QStringLiteral(" Provas"), "prova");
    RxSBPlacas = toolButton("RxSBPlacas", 383, QStringLiteral(" Placas"), "placas");
    RxSBCodigo = toolButton("RxSBCodigo", 480, QStringLiteral(" Código"), "codigo");
    RxSBAjuda = toolButton("RxSBAjuda", 576, QStringLiteral(" Ajuda"), "ajuda");
    RxSBFinalizar = toolButton("RxSBFinalizar", 673, QStringLiteral(" Fechar"), "fechar");
    // Beyond the five: the study window (performance, one's own mistakes, today's exam format).
    RxSBEstudo = toolButton("RxSBEstudo", 769, QStringLiteral(" Estudo"), "estudo");
    for (QToolButton *b : {RxSBProva, RxSBPlacas, RxSBCodigo, RxSBAjuda, RxSBFinalizar, RxSBEstudo}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    Hints::set(RxSBProva, QStringLiteral("Prova de Legislação de Trânsito| Inicia a Prova Simulada de "
                                         "Legislação de Trânsito"));
    Hints::set(RxSBPlacas, QStringLiteral("Placas/Faixas de Sinalização| Consultar placas/faixas de "
                                          "sinalização de trânsito"));
    Hints::set(RxSBCodigo, QStringLiteral("Código de Trânsito Brasileiro| Acessa o Código de Trânsito "
                                          "Brasileiro para pesquisa/informações"));
    Hints::set(RxSBAjuda, QStringLiteral("Ajuda| Como utilizar o programa"));
    Hints::set(RxSBFinalizar, QStringLiteral("Fechar o Programa| Termina a execução do programa"));
    Hints::set(RxSBEstudo, QStringLiteral("Estudo| Desempenho por matéria, estudo dos seus erros e prova no "
                                          "formato atual"));
    connect(RxSBProva, &QToolButton::clicked, this, guard([this] { RxSBProvaClick(); }));
    connect(RxSBPlacas, &QToolButton::clicked, this, guard([this] { RxSBPlacasClick(); }));
    connect(RxSBCodigo, &QToolButton::clicked, this, guard([this] { RxSBCodigoClick(); }));
    connect(RxSBAjuda, &QToolButton::clicked, this, guard([this] { RxSBAjudaClick(); }));
    connect(RxSBFinalizar, &QToolButton::clicked, this, guard([this] { RxSBFinalizarClick(); }));
    connect(RxSBEstudo, &QToolButton::clicked, this, guard([this] { RxSBEstudoClick(); }));

    Image2 = WindowKit::make<QLabel>(Panel1, "Image2", QRect(161, 216, 477, 100));
    Image2->setAlignment(Qt::AlignCenter);
    Image2->setPixmap(Artwork::largeBanner(devicePixelRatioF()));
    WindowKit::onClick(Image2, [this] { Image2Click(); });
    Hints::set(Image2, QStringLiteral("http://") + Maker::site +
                           QStringLiteral(
                               "\nClique aqui para acessar a tela de informações e download de programas"));

    Status1 = new TStatus(Panel1);

    RxPopupMenu1 = new QMenu(this);
    RxPopupMenu1->setObjectName(QStringLiteral("RxPopupMenu1"));
    QAction *versao = RxPopupMenu1->addAction(QStringLiteral("Versão..."));
    versao->setObjectName(QStringLiteral("Versao1"));
    connect(versao, &QAction::triggered, this, guard([this] { Versao1Click(); }));
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { RxPopupMenu1->popup(mapToGlobal(pos)); });

    // Keys reach the window before its controls, but only while it is the active window.
    qApp->installEventFilter(this);
    FormCreate();
}

void TFormTopo::FormCreate()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : kDesignedWidth;
    setGeometry(0, 0, screenWidth, kDesignedHeight);
    setWindowState(Qt::WindowMaximized);

    if (HintTracker *tracker = HintTracker::instance())
        connect(tracker, &HintTracker::hintChanged, this, [this](const QString &h) { ShowHint(h); });
    Hints::setDelay(70);

    setWindowTitle(QStringLiteral("Quelvado - Prova Simulada 2.2") + QStringLiteral("   ") + Maker::notice);
    Status1->setCaption(QStringLiteral("  ") + Maker::site + QStringLiteral("   |   ") + Maker::productSite);
}

void TFormTopo::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Panel1->setGeometry(rect());
    Panel2->setGeometry(0, 0, width(), 59);
    // The sixth button stays whole on a narrow screen (a 1280-pixel one at 150 %): it narrows to
    // the room left after the five, which never move, down to its picture alone.
    const int room = Panel2->width() - RxSBEstudo->x() - Panel2->frameThickness() - 1;
    const int full = 92;
    const int narrow = std::clamp(room, 46, full);
    RxSBEstudo->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const bool caption = narrow >= std::min(full, RxSBEstudo->sizeHint().width());
    RxSBEstudo->setToolButtonStyle(caption ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    RxSBEstudo->resize(narrow, RxSBEstudo->height());
}

void TFormTopo::RxSBProvaClick()
{
    if (auto *exam = AppWindows::get<TFormProva>(AppWindow::Prova)) {
        exam->showSelectionPage();
        AppWindows::show(AppWindow::Prova);
    }
}

void TFormTopo::RxSBPlacasClick()
{
    auto *signs = AppWindows::get<TFormDados>(AppWindow::Dados);
    if (!signs)
        return;
    signs->setWindowTitle(QStringLiteral("Sinalização"));
    AppWindows::show(AppWindow::Dados);
    signs->EditPlaca->setFocus(Qt::OtherFocusReason);
}

void TFormTopo::RxSBCodigoClick()
{
    AppWindows::show(AppWindow::Codigo);
}

void TFormTopo::RxSBAjudaClick()
{
    Desktop::current().helpTopic(QStringLiteral("topic0"));
}

void TFormTopo::RxSBFinalizarClick()
{
    emit quitRequested();
    endProgram();
}

void TFormTopo::RxSBEstudoClick()
{
    if (!m_estudo)
        m_estudo = new TFormEstudo(this);
    WindowKit::showInFront(m_estudo);
}

void TFormTopo::ofereceProvaEmAndamento()
{
    const std::optional<TFormProvaAtual::Guardada> kept = TFormProvaAtual::provaGuardada();
    if (!kept)
        return;
    const QString texto =
        QStringLiteral("Há uma prova no formato atual em andamento, começada em %1, com %2 de %3 questões "
                       "respondidas e %4 de tempo restante.\rDeseja continuar essa prova?")
            .arg(kept->progress.start.toString(QStringLiteral("dd/MM/yyyy 'às' HH:mm")))
            .arg(kept->answered)
            .arg(kept->total)
            .arg(TodayExam::mmss(kept->progress.minutes * 60 - kept->progress.elapsed));
    if (!Dialogs::question(texto)) {
        TFormProvaAtual::esqueceProgresso();
        return;
    }
    RxSBEstudoClick();
    m_estudo->BBProvaAtualClick();
    if (!m_estudo->provaAtual()->continuaProva())
        Dialogs::error(QStringLiteral("A prova em andamento não pôde ser recuperada."));
}

void TFormTopo::Image1Click()
{
    AppWindows::show(AppWindow::Download);
}

void TFormTopo::Image2Click()
{
    AppWindows::show(AppWindow::Download);
}

void TFormTopo::Versao1Click()
{
    const QString text = VersionInfo::boxText(VersionInfo::raw());
    if (!text.isEmpty())
        Dialogs::information(text);
}

void TFormTopo::ShowHint(const QString &longHint)
{
    Status1->setCaption(longHint);
}

bool TFormTopo::handleKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        guarded([this] { RxSBAjudaClick(); });
        return true;
    }
    const QString text = event->text();
    if (text.size() != 1)
        return false;
    switch (text.at(0).unicode()) {
    case u'1':
        guarded([this] { RxSBProvaClick(); });
        return true;
    case u'2':
        guarded([this] { RxSBPlacasClick(); });
        return true;
    case u'3':
        guarded([this] { RxSBCodigoClick(); });
        return true;
    case u'4':
        guarded([this] { RxSBAjudaClick(); });
        return true;
    case u'5':
    case 27:
        guarded([this] { RxSBFinalizarClick(); });
        return true;
    case u'6':
        guarded([this] { RxSBEstudoClick(); });
        return true;
    default:
        return false;
    }
}

bool TFormTopo::eventFilter(QObject *watched, QEvent *event)
{
    if (QKeyEvent *key = WindowKit::keyPressIn(this, watched, event); key && isActiveWindow()) {
        return handleKey(key);
    }
    return QWidget::eventFilter(watched, event);
}

void TFormTopo::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program.
    event->accept();
    emit quitRequested();
    endProgram();
}

void TFormTopo::endProgram()
{
    // exit() leaves the message loop without asking the other windows to close: the exam window's
    // "Deseja finalizar a prova?" belongs to closing that window, not to ending the program.
    QCoreApplication::exit(0);
}
