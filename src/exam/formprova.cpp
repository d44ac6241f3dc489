// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formprova.h"

#include "questionbank.h"

#include "common/appwindows.h"
#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/programfolder.h"
#include "common/readaloud.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "controls/panel.h"
#include "controls/shadowlabel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>

namespace {
const QColor kCream(255, 251, 240);
const QColor kPage(0, 72, 128);
const QColor kFocusRing(255, 200, 0); // amber: plain on the blue pages and on the buttons
const QString kArquivoProva = QStringLiteral("numprova.dat");
constexpr int kHelpContext = 20;

// The character after "&" in a caption, in capitals (null when there is none).
QChar accelerator(const QString &caption)
{
    const qsizetype at = caption.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toUpper() : QChar();
}

QLabel *picture(QWidget *parent, const QString &glyph, QRect geometry)
{
    auto *l = WindowKit::make<QLabel>(parent, nullptr, geometry);
    l->setAlignment(Qt::AlignCenter);
    l->setPixmap(Artwork::glyphPixmap(glyph, geometry.size(), parent->devicePixelRatioF()));
    return l;
}
} // namespace

TFormProva::TFormProva(QWidget *parent, Construction construction) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormProva"));
    WindowKit::fixedWindow(this, QSize(692, 410), WindowKit::Border::Single);
    setWindowTitle(QStringLiteral("Seleção de provas"));
    setFont(WindowKit::font(12, false));

    Notebook1 = WindowKit::make<QStackedWidget>(this, "Notebook1", QRect(0, 0, 692, 385));
    for (const char *name : {"Selecao", "Prova", "Gabarito"}) {
        auto *page = WindowKit::make<QWidget>(Notebook1, name);
        WindowKit::fillBackground(page, kPage);
        Notebook1->addWidget(page);
    }
    Panel4 = WindowKit::make<TPanel>(this, "Panel4", QRect(0, 385, 692, 25));
    Panel4->setBevelOuter(TPanel::bvLowered);
    Panel4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(Notebook1, &QStackedWidget::currentChanged, this,
            guard([this](int page) { Notebook1PageChanged(page); }));
    // The window sees Enter and Esc before its controls.
    qApp->installEventFilter(this);
    FormCreate();
    Notebook1PageChanged(0);
    setWindowTitle(QStringLiteral("Seleção de provas"));
    m_pages.start(this, construction, [this] {
        buildSelectionPage(Notebook1->widget(0));
        buildExamPage(Notebook1->widget(1));
        buildAnswerSheetPage(Notebook1->widget(2));
        // The focus, a thin dotted line on a light button, is ringed in amber on the blue pages.
        for (int page = 0; page < Notebook1->count(); ++page)
            WindowKit::showFocusRing(Notebook1->widget(page), kFocusRing);
    });
}

void TFormProva::ensurePages()
{
    m_pages.ensure();
}

void TFormProva::setVisible(bool visible)
{
    // The controls exist before the window is first shown, so they are shown with it.
    if (visible)
        m_pages.ensure();
    QWidget::setVisible(visible);
}

TFormProva::~TFormProva()
{
    qApp->removeEventFilter(this);
}

void TFormProva::FormCreate()
{
    WindowKit::placeCentred(this, AppWindows::mainWindowHeight());
    Hints::setDelay(80);
    m_session.state().NumeroQuestao = 0;
}

void TFormProva::buildSelectionPage(QWidget *page)
{
    PanelTopo = WindowKit::make<TPanel>(page, "PanelTopo", QRect(0, 0, 692, 134));
    PanelTopo->setColor(kCream);
    PanelTopo->setBevelOuter(TPanel::bvLowered);

    Image1 = WindowKit::make<QLabel>(PanelTopo, "Image1", QRect(10, 11, 350, 110));
    Image1->setPixmap(Artwork::examBanner(devicePixelRatioF()));
    WindowKit::onClick(Image1, [this] { Image1Click(); });
    Hints::set(Image1, QStringLiteral("Clique aqui para download de nossos produtos"));
    Image1->setFocusPolicy(Qt::TabFocus); // Enter or Space on the banner opens the download window

    auto *title = WindowKit::make<QLabel>(PanelTopo, "LabelTitulo", QRect(374, 8, 312, 52));
    title->setFont(WindowKit::font(13, true));
    title->setText(QStringLiteral("<span style=\"font-size:17px\">QUELVADO 2.2</span><br>"
                                  "Prova Simulada de Legislação de Trânsito"));
    WindowKit::setTextColour(title, QColor(0, 0, 128));

    auto *blurb = WindowKit::make<QLabel>(PanelTopo, "LabelChamada", QRect(374, 64, 312, 64));
    blurb->setFont(WindowKit::font(11, false));
    blurb->setText(QStringLiteral("Teste seus conhecimentos antes de fazer o exame do Detran.\n"
                                  "Questões de múltipla escolha. \n"
                                  "Todas as matérias pedidas no exame."));
    blurb->setWordWrap(true);

    auto *prompt = WindowKit::make<TShadowLabel>(page, "LabelSelecione", QRect(8, 138, 400, 22));
    prompt->setFont(WindowKit::font(14, true));
    prompt->setTextColor(Qt::white);
    prompt->setText(QStringLiteral("Selecione o tipo de prova:"));

    RadioGroupProvas = WindowKit::make<QGroupBox>(page, "RadioGroupProvas", QRect(5, 162, 681, 170));
    WindowKit::fillBackground(RadioGroupProvas, kCream);
    WindowKit::setTextColour(RadioGroupProvas, QColor(0, 0, 128));
    auto *grid = new QGridLayout(RadioGroupProvas);
    grid->setContentsMargins(10, 8, 10, 8);
    grid->setVerticalSpacing(2);
    // Three columns, filled column by column.
    for (int item = 0; item < ExamTypes::kItems; ++item) {
        auto *radio = new QRadioButton(ExamTypes::caption(item), RadioGroupProvas);
        radio->setObjectName(QStringLiteral("RadioProva%1").arg(item));
        radio->setFont(WindowKit::font(12, item == ExamTypes::kItems - 1));
        grid->addWidget(radio, item % 6, item / 6);
        RadioItems << radio;
    }
    RadioItems.first()->setChecked(true);

    picture(page, QStringLiteral("decor_volante"), QRect(20, 334, 48, 48));
    picture(page, QStringLiteral("decor_prova"), QRect(624, 334, 48, 48));

    BitBtn1 = WindowKit::button(page, "BitBtn1", QRect(214, 340, 120, 36), QStringLiteral("&Iniciar"),
                                Artwork::glyph(this, "iniciar", 24), 24);
    BitBtn1->setDefault(true);
    Hints::set(BitBtn1, QStringLiteral("Clique aqui para iniciar a prova"));
    connect(BitBtn1, &QPushButton::clicked, this, guard([this] { BitBtn1Click(); }));

    BitBtn8 = WindowKit::button(page, "BitBtn8", QRect(358, 340, 120, 36), QStringLiteral("&Cancelar"),
                                Artwork::glyph(this, "cancelar", 24), 24);
    connect(BitBtn8, &QPushButton::clicked, this, guard([this] { BitBtn8Click(); }));
    setTabOrder(BitBtn8, Image1);
}

int TFormProva::selectedItem() const
{
    for (int i = 0; i < RadioItems.size(); ++i)
        if (RadioItems[i]->isChecked())
            return i;
    return -1;
}

void TFormProva::showSelectionPage()
{
    ensurePages();
    Notebook1->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("Seleção de provas"));
    // The page opens with the focus on the chosen exam type, so Enter starts it; the banner comes
    // last in the Tab order.
    const int item = selectedItem();
    if (item >= 0)
        RadioItems[item]->setFocus(Qt::OtherFocusReason);
}

void TFormProva::Notebook1PageChanged(int page)
{
    if (m_ouvir)
        m_ouvir->stop();
    switch (page) {
    case 0:
        setWindowTitle(QStringLiteral("Seleção de prova"));
        Panel4->setCaption(
            QStringLiteral("Selecione o tipo de prova e clique no botão Iniciar ou pressione <Enter>"));
        break;
    case 1:
        setWindowTitle(QStringLiteral("Prova Simulada de Legislação de Transito"));
        Panel4->setCaption(QStringLiteral(" "));
        break;
    case 2:
        setWindowTitle(QStringLiteral("Gabarito"));
        Panel4->setCaption(QStringLiteral(
            "Clique em Corrigir para conferir o resultado da prova ou Cancelar <Esc> para sair"));
        break;
    default:
        break;
    }
}

void TFormProva::BitBtn1Click()
{
    const int item = selectedItem();
    const int type = ExamTypes::typeForItem(item);
    if (type == 0)
        return;
    if (type == ExamTypes::kPersonalised)
        MontaProvaPersonalizada();
    exam().TipoProva = type;
    IniciarProva();
}

void TFormProva::BitBtn8Click()
{
    close();
}

void TFormProva::Image1Click()
{
    AppWindows::show(AppWindow::Download);
}

void TFormProva::MontaProvaPersonalizada()
{
    QSet<int> known;
    for (const StoredQuestion &q : QuestionBank::instance().questions())
        known.insert(q.number);
    m_session.drawPersonalised(ProgramFolder::writableFile(kArquivoProva), known);
}

bool TFormProva::FormCloseQuery()
{
    if (Notebook1->currentIndex() == 1 && m_session.position() < ExamTypes::kQuestions)
        return Dialogs::current().askYesNo(Dialogs::Icon::Information, QStringLiteral("Finalizar prova"),
                                           QStringLiteral("Deseja finalizar a prova?"));
    return true;
}

void TFormProva::closeEvent(QCloseEvent *event)
{
    bool mayClose = true;
    guarded([&] { mayClose = FormCloseQuery(); });
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

bool TFormProva::selectByAccelerator(QKeyEvent *event)
{
    // A bare key selects an exam type while the focus is on a control that takes no text, as
    // Alt with that key does everywhere.
    auto *focused = qobject_cast<QAbstractButton *>(QApplication::focusWidget());
    if (!focused || focused->window() != this || (event->modifiers() & ~Qt::ShiftModifier) != 0)
        return false;
    const QString text = event->text();
    if (text.size() != 1)
        return false;
    for (QRadioButton *radio : std::as_const(RadioItems)) {
        if (accelerator(radio->text()) == text.at(0).toUpper()) {
            radio->setChecked(true);
            radio->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return false;
}

bool TFormProva::handleKey(QKeyEvent *event)
{
    const int key = event->key();
    const int page = Notebook1->currentIndex();
    if (key == Qt::Key_F1) {
        guarded([] { Desktop::current().helpContext(kHelpContext); });
        return true;
    }
    if (page == 0 && selectByAccelerator(event))
        return true;
    if (page == 0 && QApplication::focusWidget() == Image1 &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        guarded([this] { Image1Click(); });
        return true;
    }
    if (page == 0 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        if (auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget());
            focused && focused->window() == this)
            focused->click();
        else
            BitBtn1->click();
        return true;
    }
    if (key == Qt::Key_Escape) {
        // The page's cancel button.
        QPushButton *cancel = page == 0 ? BitBtn8 : page == 1 ? BBFinalizar : BitBtnCancelar;
        if (cancel->isEnabled())
            cancel->click();
        return true;
    }
    if (QApplication::focusWidget() == EditResposta)
        return guardedKey(event);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter presses the focused button.
        if (auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget());
            focused && focused->window() == this) {
            focused->click();
            return true;
        }
    }
    return false;
}

bool TFormProva::eventFilter(QObject *watched, QEvent *event)
{
    if (QKeyEvent *key = WindowKit::keyPressIn(this, watched, event); key && isActiveWindow()) {
        return handleKey(key);
    }
    return QWidget::eventFilter(watched, event);
}
