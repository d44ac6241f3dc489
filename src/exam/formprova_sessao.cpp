// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The exam window's exam page: one question at a time, the answer box and buttons, moving back
// and forth, the immediate answer on the traffic light, and the end of the exam.

#include "formprova.h"

#include "examrules.h"
#include "questionbank.h"

#include "common/appwindows.h"
#include "common/clock.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/readaloud.h"
#include "common/speechtext.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "controls/clockface.h"
#include "controls/leddisplay.h"
#include "controls/panel.h"
#include "controls/shadowlabel.h"
#include "controls/sinaltraffic.h"
#include "signs/picturestore.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

namespace {
QLabel *whiteLabel(QWidget *parent, const QString &text, QPoint at, bool bold = true)
{
    auto *l = new QLabel(text, parent);
    l->setFont(WindowKit::font(13, bold));
    WindowKit::setTextColour(l, Qt::white);
    l->move(at);
    l->adjustSize();
    return l;
}
} // namespace

void TFormProva::buildExamPage(QWidget *page)
{
    whiteLabel(page, QStringLiteral("Questão Número :"), QPoint(10, 15));

    LEDDisplayQuestao = WindowKit::make<TLEDDisplay>(page, "LEDDisplayQuestao", QRect(152, 14, 46, 22));
    LEDDisplayQuestao->setNumDigits(3);
    LEDDisplayQuestao->setDigitHeight(18);
    LEDDisplayQuestao->setDigitWidth(12);
    LEDDisplayQuestao->setDigitLineWidth(2);
    LEDDisplayQuestao->setSegmentStyle(TLEDDisplay::ssBeveled);
    LEDDisplayQuestao->setLEDContrast(7);
    LEDDisplayQuestao->setBevelStyle(TLEDDisplay::bvNone);
    LEDDisplayQuestao->setValue(0);

    SpeedButton1 = WindowKit::button<QToolButton>(page, "SpeedButton1", QRect(441, 14, 108, 24),
                                                  QStringLiteral("Consultar Placas"));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    SpeedButton1->setFont(WindowKit::font(11, true));
    WindowKit::setColour(SpeedButton1, QPalette::ButtonText, Qt::white);
    Hints::set(SpeedButton1, QStringLiteral("Consulta placas de Sinalização"));
    connect(SpeedButton1, &QToolButton::clicked, this, guard([this] { SpeedButton1Click(); }));

    // The question's box: at the usual text size the whole question fits it, as the layout test
    // checks; a larger text scrolls inside it.
    ScrollPergunta = WindowKit::make<QScrollArea>(page, "ScrollPergunta", QRect(10, 40, 426, 101));
    ScrollPergunta->setFrameShape(QFrame::NoFrame);
    ScrollPergunta->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollPergunta->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollPergunta->setFocusPolicy(Qt::NoFocus);
    WindowKit::fillBackground(ScrollPergunta->viewport(), QColor(128, 128, 128));
    LabelPergunta = WindowKit::make<TShadowLabel>(nullptr, "LabelPergunta", QRect(0, 0, 426, 101));
    ScrollPergunta->setWidget(LabelPergunta);
    LabelPergunta->setFont(WindowKit::font(14, true));
    LabelPergunta->setBackground(QColor(128, 128, 128));
    LabelPergunta->setTextColor(QColor(255, 255, 0));
    LabelPergunta->setShadowColor(Qt::black);
    LabelPergunta->setWordWrap(true);
    LabelPergunta->setMargin(6);
    LabelPergunta->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    PanelFigura = WindowKit::make<TPanel>(page, "PanelFigura", QRect(443, 44, 105, 93));
    PanelFigura->setColor(Qt::white);
    PanelFigura->setBevelOuter(TPanel::bvLowered);
    ImageQuestao = WindowKit::make<QLabel>(PanelFigura, "ImageQuestao", PanelFigura->clientRect());
    ImageQuestao->setAlignment(Qt::AlignCenter);

    whiteLabel(page, QStringLiteral("Alternativas"), QPoint(10, 150));
    Memo2 = WindowKit::make<QTextEdit>(page, "Memo2", QRect(10, 169, 531, 126));
    Memo2->setAccessibleName(QStringLiteral("Alternativas"));
    Memo2->setReadOnly(true);
    // The condensed face of the program's font lets the five alternatives of every question of
    // the bank fit the box whole at a clear size.
    QFont alternatives = WindowKit::font(12, false);
    alternatives.setFamily(QStringLiteral("DejaVu Sans Condensed"));
    Memo2->setFont(alternatives);
    Memo2->document()->setDocumentMargin(2);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->viewport()->setCursor(Qt::ArrowCursor);
    // The alternatives can be reached and scrolled from the keyboard.
    Memo2->setFocusPolicy(Qt::StrongFocus);
    Memo2->setTabChangesFocus(true);
    WindowKit::setColour(Memo2, QPalette::Base, QColor(192, 192, 192));
    WindowKit::setColour(Memo2, QPalette::Text, Qt::black);

    whiteLabel(page, QStringLiteral("Selecione a alternativa correta :"), QPoint(10, 306));
    EditResposta = WindowKit::make<QLineEdit>(page, "EditResposta", QRect(250, 304, 36, 24));
    EditResposta->setFont(WindowKit::font(15, true));
    EditResposta->setAlignment(Qt::AlignCenter);
    Hints::set(EditResposta, QStringLiteral("Escolha a alternativa e clique em Próxima ou\n"
                                            "pressione <Enter> para a questão seguinte.   \n"
                                            "Botão <Resposta> = correção imediata"));
    connect(EditResposta, &QLineEdit::textChanged, this, guard([this] { EditRespostaChange(); }));

    const char *names[] = {"BBResposta", "BitBtn4", "BitBtn5", "BitBtn6", "BitBtn7"};
    const char *glyphs[] = {"letra_a", "letra_b", "letra_c", "letra_d", "letra_e"};
    for (int i = 0; i < 5; ++i) {
        QPushButton *b = WindowKit::button(page, names[i], QRect(10 + 50 * i, 338, 46, 38), QString(),
                                           Artwork::glyph(this, glyphs[i], 28), 28);
        b->setProperty("tag", i + 1);
        b->setFocusPolicy(Qt::TabFocus); // reached by Tab; a click leaves the focus in the answer box
        Hints::set(b, QStringLiteral("Alternativa %1").arg(QChar(u'A' + i)));
        connect(b, &QPushButton::clicked, this, guard([this, i] { BBRespostaClick(i + 1); }));
        AnswerButtons << b;
    }

    BBAnterior = WindowKit::button(page, "BBAnterior", QRect(310, 338, 111, 38), QStringLiteral("&Anterior"),
                                   Artwork::glyph(this, "anterior", 24), 24);
    BBAnterior->setEnabled(false);
    connect(BBAnterior, &QPushButton::clicked, this, guard([this] { BBAnteriorClick(); }));
    BBProximo = WindowKit::button(page, "BBProximo", QRect(430, 338, 111, 38), QStringLiteral("P&róxima"),
                                  Artwork::glyph(this, "proxima", 24), 24);
    BBProximo->setLayoutDirection(Qt::RightToLeft); // glyph on the right
    connect(BBProximo, &QPushButton::clicked, this, guard([this] { BBProximoClick(); }));
    BBFinalizar = WindowKit::button(page, "BBFinalizar", QRect(550, 338, 126, 38),
                                    QStringLiteral("&Finalizar "), Artwork::glyph(this, "finalizar", 24), 24);
    connect(BBFinalizar, &QPushButton::clicked, this, guard([this] { BBFinalizarClick(); }));

    BBRespostaImediata =
        WindowKit::button(page, "BBRespostaImediata", QRect(562, 169, 116, 28), QStringLiteral(" Res&posta"),
                          Artwork::glyph(this, "resposta", 20), 20);
    Hints::set(BBRespostaImediata, QStringLiteral("Clique aqui para conferir \nou consultar a resposta"));
    connect(BBRespostaImediata, &QPushButton::clicked, this, guard([this] { BBRespostaImediataClick(); }));

    auto *lightPanel = WindowKit::make<TPanel>(page, "PanelSinal", QRect(562, 204, 116, 91));
    lightPanel->setColor(Qt::black);
    lightPanel->setBevelOuter(TPanel::bvNone);
    SinalTraffic1 = WindowKit::make<TSinalTraffic>(lightPanel, "SinalTraffic1", QRect(10, 7, 28, 76));
    SinalTraffic1->setBorderStyle(TSinalTraffic::bsStd);
    SinalTraffic1->setState(TSinalTraffic::sNone);
    auto *errada = WindowKit::make<QLabel>(lightPanel, "LabelErrada", QRect(44, 10, 68, 20));
    errada->setText(QStringLiteral(" Errada"));
    auto *certa = WindowKit::make<QLabel>(lightPanel, "LabelCerta", QRect(44, 60, 68, 20));
    certa->setText(QStringLiteral(" Certa"));
    for (auto [label, color] :
         {std::pair{errada, QColor(255, 60, 60)}, std::pair{certa, QColor(60, 230, 60)}}) {
        label->setFont(WindowKit::font(13, true));
        WindowKit::setTextColour(label, color);
    }

    RxClock1 = WindowKit::make<TClockFace>(page, "RxClock1", QRect(555, 2, 135, 135));

    LabelHoraInicio = WindowKit::make<QLabel>(page, "LabelHoraInicio", QRect(555, 137, 135, 19));
    LabelHoraInicio->setText(QStringLiteral("Início:"));
    LabelHoraInicio->setAlignment(Qt::AlignCenter);
    LabelHoraInicio->setFont(WindowKit::font(13, true));
    WindowKit::setTextColour(LabelHoraInicio, Qt::white);
    Hints::set(LabelHoraInicio, QStringLiteral("Horário de início da prova"));

    // "Ouvir" and its options between the question counter and "Consultar Placas".
    m_ouvir = new ReadAloud(this, page, QRect(300, 13, 90, 26), QRect(394, 13, 40, 26),
                            [this] { return textoParaOuvir(); });
    for (QToolButton *b : {m_ouvir->ouvirButton(), m_ouvir->optionsButton()})
        b->setFont(WindowKit::font(12, true));
    connect(&ReadingSettings::instance(), &ReadingSettings::textScaleChanged, this,
            guard([this] { applyTextScale(); }));
    applyTextScale();

    EditResposta->installEventFilter(this);
}

QString TFormProva::textoParaOuvir() const
{
    if (Notebook1->currentIndex() != 1 || m_session.position() < 1 ||
        m_session.position() > ExamTypes::kQuestions)
        return {};
    const QuestionBank &bank = QuestionBank::instance();
    const int n = m_session.question();
    QStringList alternatives;
    for (int k = 0; k < ExamTypes::kAlternatives; ++k)
        alternatives << bank.string(QuestionKind::AlternativeA + k, n);
    return SpeechText::questionReading(bank.string(QuestionKind::Text, n), alternatives,
                                       !bank.pictureCode(n).isEmpty());
}

void TFormProva::applyTextScale()
{
    const ReadingSettings &reading = ReadingSettings::instance();
    LabelPergunta->setFont(WindowKit::font(reading.scaled(14), true));
    QFont alternatives = Memo2->font();
    alternatives.setPixelSize(reading.scaled(12));
    Memo2->setFont(alternatives);
    fitQuestionLabel();
}

void TFormProva::fitQuestionLabel()
{
    // The label takes the box's width (less the scroll bar when the text needs one) and the
    // height its wrapped text needs, never less than the box.
    const QSize box = ScrollPergunta->size();
    LabelPergunta->resize(box);
    if (LabelPergunta->textFits())
        return;
    const int width = box.width() - ScrollPergunta->verticalScrollBar()->sizeHint().width();
    int height = box.height();
    LabelPergunta->resize(width, height);
    while (!LabelPergunta->textFits() && height < 4000) {
        height += 8;
        LabelPergunta->resize(width, height);
    }
}

void TFormProva::IniciarProva()
{
    // The exam's first question is looked up at once (a personalised number that is not a number
    // stops the start here, with the page unchanged).
    m_session.start(m_session.type(), Clock::current().localNow());
    for (int row = 0; row < AnswerSheet::kRows; ++row)
        for (int column = 0; column < ExamTypes::kQuestions; ++column)
            showGabarito(column, row);
    // The answer sheet never shows the last exam's results.
    clearResults();
    LabelHoraInicio->setText(QStringLiteral("Início:  ") + ExamRules::timeText(m_session.startTime()));
    SinalTraffic1->setState(TSinalTraffic::sNone);
    BBProximo->setEnabled(true);
    BBAnterior->setEnabled(false);
    BBRespostaImediata->setEnabled(true);
    EditResposta->clear();
    Notebook1->setCurrentIndex(1);
    setWindowTitle(QStringLiteral("Prova de Legislação de Trânsito"));
    EditResposta->setFocus(Qt::OtherFocusReason);
    MostraQuestao();
}

void TFormProva::MostraQuestao()
{
    const QuestionBank &bank = QuestionBank::instance();
    const int n = m_session.question();
    LEDDisplayQuestao->setValue(m_session.position());
    if (m_ouvir)
        m_ouvir->stop();
    LabelPergunta->setText(bank.string(QuestionKind::Text, n));
    fitQuestionLabel();
    ScrollPergunta->verticalScrollBar()->setValue(0);
    Memo2->clear();
    QStringList lines;
    for (int k = 0; k < ExamTypes::kAlternatives; ++k)
        lines << QString(QChar(u'A' + k)) + QStringLiteral(" - ") +
                     bank.string(QuestionKind::AlternativeA + k, n);
    Memo2->setPlainText(lines.join(QLatin1Char('\n')));
    Memo2->moveCursor(QTextCursor::Start);
    Memo2->ensureCursorVisible();
    ImageQuestao->setPixmap(CarregarFigura(bank.pictureCode(n), devicePixelRatioF()));
}

bool TFormProva::guardedKey(QKeyEvent *event)
{
    bool taken = false;
    guarded([&] { taken = EditRespostaKeyPress(event); });
    return taken;
}

bool TFormProva::EditRespostaKeyPress(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (BBProximo->isEnabled()) {
            BBProximoClick();
            EditResposta->clear();
        } else if (Dialogs::current().askYesNo(Dialogs::Icon::Information, QString(),
                                               QStringLiteral("Deseja finalizar a prova?"))) {
            FinalizaProva(false);
        }
        return true;
    }
    const QString text = event->text();
    if (text.size() != 1 || !text.at(0).isPrint() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false; // editing keys and shortcuts (Ctrl+V pastes) work as usual
    if (ExamRules::refusesKey(text.at(0))) {
        Dialogs::information(QStringLiteral("Selecione uma opção válida!"));
        return true;
    }
    // Letters go in as capitals.
    EditResposta->insert(text.toUpper());
    return true;
}

void TFormProva::EditRespostaChange()
{
    const QString text = EditResposta->text();
    if (text.size() > 1) {
        Dialogs::information(QStringLiteral("Opção inválida!"));
        EditResposta->clear();
    } else if (text != text.toUpper()) {
        // A letter pasted or dropped in small goes in as a capital, as a typed one does.
        EditResposta->setText(text.toUpper());
    }
}

void TFormProva::BBRespostaClick(int tag)
{
    if (tag < 1 || tag > ExamTypes::kAlternatives)
        return;
    EditResposta->setText(QString(QChar(u'A' + tag - 1)));
}

void TFormProva::BBProximoClick()
{
    setGabarito(m_session.position() - 1, AnswerSheet::Given, EditResposta->text());
    EditResposta->clear();
    EditResposta->setFocus(Qt::OtherFocusReason);
    BBRespostaImediata->setEnabled(true);
    SinalTraffic1->setState(TSinalTraffic::sNone);
    m_session.moveTo(m_session.position() + 1);
    if (m_session.position() > 1)
        BBAnterior->setEnabled(true);
    if (m_session.position() <= ExamTypes::kQuestions) {
        MostraQuestao();
        showStoredAnswer();
    } else {
        BBProximo->setEnabled(false);
        m_ouvir->stop();
        Memo2->clear();
        LabelPergunta->setText(QStringLiteral(" "));
        LEDDisplayQuestao->setValue(0);
        BBFinalizar->setFocus(Qt::OtherFocusReason);
    }
}

void TFormProva::BBAnteriorClick()
{
    SinalTraffic1->setState(TSinalTraffic::sNone);
    EditResposta->clear();
    EditResposta->setFocus(Qt::OtherFocusReason);
    BBRespostaImediata->setEnabled(true);
    m_session.moveTo(m_session.position() - 1);
    // Coming back to 30 from past the end turns "Próxima" on again, so an answer for the last
    // question can still be stored.
    if (m_session.position() <= ExamTypes::kQuestions)
        BBProximo->setEnabled(true);
    if (m_session.position() < 2)
        BBAnterior->setEnabled(false);
    MostraQuestao();
    showStoredAnswer();
}

void TFormProva::showStoredAnswer()
{
    // A position shown again shows the answer stored for it, so moving back to re-read a question
    // and on again keeps the answer; clearing the box and going on erases it.
    // The letter is selected, so a letter typed replaces it.
    EditResposta->setText(m_session.answer(m_session.position()));
    EditResposta->selectAll();
}

void TFormProva::BBRespostaImediataClick()
{
    const QString letter = m_session.rightLetter(QuestionBank::instance());
    const bool fillIn = EditResposta->text().isEmpty();
    m_session.consultLight(fillIn);
    if (!fillIn) {
        SinalTraffic1->setState(EditResposta->text() == letter ? TSinalTraffic::sGreen : TSinalTraffic::sRed);
    } else {
        EditResposta->setText(letter);
        BBRespostaImediata->setEnabled(false);
    }
}

void TFormProva::SpeedButton1Click()
{
    AppWindows::show(AppWindow::Placas);
}

void TFormProva::BBFinalizarClick()
{
    FinalizaProva(m_session.position() < ExamTypes::kQuestions);
}

bool TFormProva::FinalizaProva(bool ask)
{
    if (ask && !Dialogs::current().askYesNo(Dialogs::Icon::Information, QStringLiteral("Finalizar prova"),
                                            QStringLiteral("Deseja finalizar a prova?")))
        return false;
    m_session.finish(Clock::current().localNow());
    for (int column = 0; column < ExamTypes::kQuestions; ++column)
        showGabarito(column, AnswerSheet::Position);
    LabelTempo->setText(ExamRules::timeText(m_session.timeTaken()));
    Label1->setText(ExamRules::timeText(m_session.startTime()));
    Label2->setText(ExamRules::timeText(m_session.endTime()));
    Notebook1->setCurrentIndex(2);
    setWindowTitle(QStringLiteral("Gabarito"));
    BBCorrigir->setEnabled(true);
    BBCorrigir->setFocus(Qt::OtherFocusReason);
    return true;
}
