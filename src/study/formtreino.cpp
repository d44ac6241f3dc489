// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formtreino.h"

#include "history.h"
#include "studyhistory.h"
#include "subjects.h"

#include "codereader/articleindex.h"
#include "common/clock.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/readaloud.h"
#include "common/speechtext.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "exam/questionbank.h"
#include "exam/questionsheet.h"
#include "study/todayexam.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// The review's colours and symbols for a right and a wrong answer.
using QuestionSheet::kRightBackground;
using QuestionSheet::kRightText;
using QuestionSheet::kWrongBackground;
using QuestionSheet::kWrongText;
using QuestionSheet::letter;
using QuestionSheet::textLabel;
const QString kSimboloCerta = QuestionSheet::rightSymbol();
const QString kSimboloErrada = QuestionSheet::wrongSymbol();
constexpr int kMaxAlternativas = 5;

QString dataTexto(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

QDate hoje()
{
    return Clock::current().localNow().date();
}

// "amanhã, 08/12/2026", "em 10/12/2026".
QString quando(const QDate &d)
{
    if (d == hoje().addDays(1))
        return QStringLiteral("amanhã, ") + dataTexto(d);
    return QStringLiteral("em ") + dataTexto(d);
}

QString questoes(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 questão") : QStringLiteral("%1 questões").arg(n);
}

QString revisoes(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 revisão") : QStringLiteral("%1 revisões").arg(n);
}

// " em Sinalização" for a subject, nothing for all.
QString emAssunto(int assunto)
{
    return assunto < 0 ? QString() : QStringLiteral(" em ") + Subjects::name(assunto);
}

} // namespace

TFormTreino::TFormTreino(int assunto, QWidget *parent) : QWidget(parent, Qt::Window), m_assunto(assunto)
{
    setObjectName(QStringLiteral("FormTreino"));
    setWindowTitle(QStringLiteral("Revisões de hoje"));
    setFont(WindowKit::font(12, false));
    setMinimumSize(420, 320);
    resize(660, 640);

    // The subject and how many questions wait.
    auto *top = new QHBoxLayout;
    auto *labelAssunto = WindowKit::make<QLabel>(this, "LabelAssunto");
    labelAssunto->setText(QStringLiteral("&Matéria:"));
    ComboAssunto = WindowKit::make<QComboBox>(this, "ComboAssunto");
    ComboAssunto->addItem(QStringLiteral("Todas as matérias"), -1);
    for (int s = 0; s < Subjects::kCount; ++s)
        ComboAssunto->addItem(Subjects::name(s), s);
    ComboAssunto->setCurrentIndex(std::clamp(assunto + 1, 0, Subjects::kCount));
    labelAssunto->setBuddy(ComboAssunto);
    Hints::set(ComboAssunto, QStringLiteral("Estudar todas as matérias ou uma só"));
    LabelPendentes = textLabel(this, "LabelPendentes", 12, true);
    LabelCobertura = textLabel(this, "LabelCobertura", 12, false);
    top->addWidget(labelAssunto);
    top->addWidget(ComboAssunto);
    top->addSpacing(12);
    auto *contagem = new QVBoxLayout;
    contagem->setSpacing(0);
    contagem->addWidget(LabelPendentes);
    contagem->addWidget(LabelCobertura);
    top->addLayout(contagem, 1);
    m_pools = TodayExam::pools(QuestionBank::instance());

    Paginas = WindowKit::make<QStackedWidget>(this, "Paginas");
    Paginas->addWidget(buildQuestionPage());
    Paginas->addWidget(buildNoticePage());

    BBFechar = WindowKit::button(this, "BBFechar", QRect(), QStringLiteral("Fechar"),
                                 Artwork::glyph(this, "fechar", 20), 20);
    BBFechar->setFont(WindowKit::font(12, true));
    BBFechar->setMinimumHeight(32);
    Hints::set(BBFechar, QStringLiteral("Fechar (Esc); as respostas já estão guardadas"));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(BBFechar);

    // The content scrolls when the window is smaller than it (a small screen, large text).
    auto *layout = new QVBoxLayout(WindowKit::scrollingContent(this));
    layout->addLayout(top);
    layout->addWidget(Paginas, 1);
    layout->addLayout(bottom);

    connect(ComboAssunto, &QComboBox::currentIndexChanged, this, guard([this] { ComboAssuntoChange(); }));
    connect(BBProximo, &QPushButton::clicked, this, guard([this] { BBProximoClick(); }));
    connect(BBVerCodigo, &QPushButton::clicked, this, guard([this] { BBVerCodigoClick(); }));
    connect(BBAntecipar, &QPushButton::clicked, this, guard([this] { BBAnteciparClick(); }));
    connect(BBSei, &QPushButton::clicked, this, guard([this] { BBSeiClick(); }));
    connect(BBAcho, &QPushButton::clicked, this, guard([this] { BBAchoClick(); }));
    connect(BBChutei, &QPushButton::clicked, this, guard([this] { BBChuteiClick(); }));
    connect(BBContinuar, &QPushButton::clicked, this, guard([this] { refresh(); }));
    connect(BBFechar, &QPushButton::clicked, this, guard([this] { BBFecharClick(); }));

    connect(&ReadingSettings::instance(), &ReadingSettings::textScaleChanged, this,
            guard([this] { aplicaTamanho(); }));
    aplicaTamanho();

    // The window sees its answer and stepping keys before its controls.
    qApp->installEventFilter(this);
    showNotice(QString());
}

void TFormTreino::aplicaTamanho()
{
    const ReadingSettings &reading = ReadingSettings::instance();
    LabelPosicao->setFont(WindowKit::font(reading.scaled(13), true));
    LabelSituacao->setFont(WindowKit::font(reading.scaled(14), true));
    LabelDestino->setFont(WindowKit::font(reading.scaled(12), false));
    LabelPergunta->setFont(WindowKit::font(reading.scaled(14), true));
    LabelExplicacao->setFont(WindowKit::font(reading.scaled(13), false));
    LabelFonte->setFont(WindowKit::font(reading.scaled(12), false));
    for (QLabel *l : std::as_const(LabelAlternativas))
        l->setFont(WindowKit::font(reading.scaled(13), l->font().bold()));
}

QString TFormTreino::textoParaOuvir() const
{
    const StoredQuestion *q = questao();
    if (!q || Paginas->currentIndex() != 0)
        return {};
    QStringList alternatives;
    for (int k = 0; k < q->alternativeCount(); ++k)
        alternatives << q->text(QuestionKind::AlternativeA + k);
    QString text = SpeechText::questionReading(q->text(QuestionKind::Text), alternatives,
                                               !q->text(QuestionKind::Picture).isEmpty());
    if (m_resposta > 0) {
        const int certa = q->text(QuestionKind::Answer).toInt();
        const auto nome = [](int alternativa) {
            return SpeechText::letterName(QuestionSheet::letter(alternativa - 1).at(0));
        };
        QString verdict = (m_resposta == certa ? QStringLiteral("Certa") : QStringLiteral("Errada")) +
                          QStringLiteral(": sua resposta foi ") + nome(m_resposta);
        if (m_resposta != certa)
            verdict += QStringLiteral(", a certa é ") + nome(certa);
        text += QLatin1Char('\n') + verdict + QLatin1Char('.');
        if (!q->explanation.isEmpty())
            text += QStringLiteral("\nExplicação: ") + SpeechText::spoken(q->explanation);
    }
    return text;
}

// The question page: the position and verdict above the question, the answer buttons below.
QWidget *TFormTreino::buildQuestionPage()
{
    auto *paginaQuestao = WindowKit::make<QWidget>(nullptr, "PaginaQuestao");
    auto *questao = new QVBoxLayout(paginaQuestao);
    questao->setContentsMargins(0, 0, 0, 0);
    questao->setSpacing(2);
    LabelPosicao = textLabel(paginaQuestao, "LabelPosicao", 13, true);
    LabelSituacao = textLabel(paginaQuestao, "LabelSituacao", 14, true);
    LabelDestino = textLabel(paginaQuestao, "LabelDestino", 12, false);
    questao->addWidget(LabelPosicao);
    questao->addWidget(LabelSituacao);
    questao->addWidget(LabelDestino);

    const QuestionSheet::Sheet sheet = QuestionSheet::make(paginaQuestao);
    ScrollQuestao = sheet.scroll;
    LabelPergunta = sheet.question;
    ImageQuestao = sheet.picture;
    for (int k = 0; k < kMaxAlternativas; ++k) {
        QLabel *l = QuestionSheet::alternativeLabel(sheet.page, k);
        l->setTextInteractionFlags(Qt::NoTextInteraction);
        WindowKit::onClick(l, [this, k] { answer(k + 1); });
        sheet.body->addWidget(l);
        LabelAlternativas << l;
    }
    LabelExplicacao = textLabel(sheet.page, "LabelExplicacao", 13, false);
    LabelFonte = textLabel(sheet.page, "LabelFonte", 12, false);
    sheet.body->addSpacing(4);
    sheet.body->addWidget(LabelExplicacao);
    sheet.body->addWidget(LabelFonte);
    sheet.body->addStretch(1);
    questao->addWidget(ScrollQuestao, 1);

    // How sure the candidate was of a right answer.
    PainelCerteza = WindowKit::make<QWidget>(paginaQuestao, "PainelCerteza");
    auto *certeza = new QHBoxLayout(PainelCerteza);
    certeza->setContentsMargins(0, 0, 0, 0);
    auto *labelCerteza = WindowKit::make<QLabel>(PainelCerteza, "LabelCerteza");
    labelCerteza->setText(QStringLiteral("Você sabia?"));
    labelCerteza->setFont(WindowKit::font(12, true));
    certeza->addWidget(labelCerteza);
    BBSei = WindowKit::button(PainelCerteza, "BBSei", QRect(), QStringLiteral("&Sei"));
    BBAcho = WindowKit::button(PainelCerteza, "BBAcho", QRect(), QStringLiteral("&Acho"));
    BBChutei = WindowKit::button(PainelCerteza, "BBChutei", QRect(), QStringLiteral("&Chutei"));
    Hints::set(BBSei, QStringLiteral("Eu sabia a resposta (tecla S): a questão volta mais tarde"));
    Hints::set(BBAcho, QStringLiteral("Acertei, mas sem certeza (tecla H): a questão volta mais cedo"));
    Hints::set(BBChutei, QStringLiteral("Acertei no chute (tecla U): conta como não sabida e volta amanhã"));
    for (QPushButton *b : {BBSei, BBAcho, BBChutei}) {
        b->setFont(WindowKit::font(12, true));
        b->setMinimumSize(90, 32);
        certeza->addWidget(b);
    }
    certeza->addStretch(1);
    PainelCerteza->hide();
    questao->addWidget(PainelCerteza);

    auto *respostas = new QHBoxLayout;
    auto *labelResposta = WindowKit::make<QLabel>(paginaQuestao, "LabelResposta");
    labelResposta->setText(QStringLiteral("Resposta:"));
    respostas->addWidget(labelResposta);
    for (int k = 0; k < kMaxAlternativas; ++k) {
        auto *b = WindowKit::button(paginaQuestao, nullptr, QRect(), letter(k));
        b->setObjectName(QStringLiteral("BBResposta") + letter(k));
        b->setFont(WindowKit::font(13, true));
        b->setMinimumSize(40, 32);
        Hints::set(b, QStringLiteral("Responder %1 (tecla %1 ou %2)").arg(letter(k)).arg(k + 1));
        connect(b, &QPushButton::clicked, this, guard([this, k] { answer(k + 1); }));
        respostas->addWidget(b);
        BBRespostas << b;
    }
    respostas->addStretch(1);
    m_ouvir = new ReadAloud(this, paginaQuestao, QRect(), QRect(), [this] { return textoParaOuvir(); });
    for (QToolButton *b : {m_ouvir->ouvirButton(), m_ouvir->optionsButton()}) {
        b->setFont(WindowKit::font(12, true));
        b->setMinimumHeight(32);
        respostas->addWidget(b);
    }
    BBVerCodigo = WindowKit::button(paginaQuestao, "BBVerCodigo", QRect(), QStringLiteral("Ver no Código"),
                                    Artwork::glyph(this, "codigo", 20), 20);
    BBProximo = WindowKit::button(paginaQuestao, "BBProximo", QRect(), QStringLiteral("Próxima"),
                                  Artwork::glyph(this, "proxima", 20), 20);
    Hints::set(BBProximo, QStringLiteral("Próxima questão (Enter ou seta para a direita)"));
    for (QPushButton *b : {BBVerCodigo, BBProximo}) {
        b->setFont(WindowKit::font(12, true));
        b->setMinimumHeight(32);
        respostas->addWidget(b);
    }
    questao->addLayout(respostas);
    return paginaQuestao;
}

// The notice page: what the drill has to say, and the buttons to go on.
QWidget *TFormTreino::buildNoticePage()
{

    auto *paginaAviso = WindowKit::make<QWidget>(nullptr, "PaginaAviso");
    auto *aviso = new QVBoxLayout(paginaAviso);
    LabelAviso = textLabel(paginaAviso, "LabelAviso", 14, false);
    LabelAviso->setAlignment(Qt::AlignCenter);
    BBContinuar = WindowKit::button(paginaAviso, "BBContinuar", QRect(), QStringLiteral("Continuar"));
    Hints::set(BBContinuar, QStringLiteral("Estudar as questões que ainda esperam hoje"));
    BBAntecipar =
        WindowKit::button(paginaAviso, "BBAntecipar", QRect(), QStringLiteral("Revisar antecipando"));
    Hints::set(BBAntecipar, QStringLiteral("Revisar já as questões previstas para os próximos dias"));
    auto *botoesAviso = new QHBoxLayout;
    botoesAviso->addStretch(1);
    for (QPushButton *b : {BBContinuar, BBAntecipar}) {
        b->setFont(WindowKit::font(12, true));
        b->setMinimumHeight(32);
        botoesAviso->addWidget(b);
    }
    botoesAviso->addStretch(1);
    aviso->addStretch(1);
    aviso->addWidget(LabelAviso);
    aviso->addSpacing(12);
    aviso->addLayout(botoesAviso);
    aviso->addStretch(2);
    return paginaAviso;
}

TFormTreino::~TFormTreino()
{
    qApp->removeEventFilter(this);
}

void TFormTreino::Abre(int assunto, Modo modo)
{
    const int index = std::clamp(assunto + 1, 0, Subjects::kCount);
    if (ComboAssunto->currentIndex() != index) {
        const QSignalBlocker block(ComboAssunto);
        ComboAssunto->setCurrentIndex(index);
    }
    m_assunto = index - 1;
    m_modo = modo;
    setWindowTitle(modo == Modo::Assunto ? QStringLiteral("Estudar por assunto")
                                         : QStringLiteral("Revisões de hoje"));
    // A hidden window reads the history when it is shown.
    if (isVisible())
        refresh();
}

void TFormTreino::ComboAssuntoChange()
{
    m_assunto = ComboAssunto->currentData().toInt();
    refresh();
}

void TFormTreino::refresh()
{
    History &history = StudyHistory::get();
    m_historico = history.isOpen();
    m_memoria = m_historico ? StudyHistory::memory() : Memory::State();
    m_limites = Reviews::limits();
    m_dataProva = Reviews::examDate(hoje());
    comecaRodada(paraHoje(), false);
}

QList<Reviews::Item> TFormTreino::paraHoje() const
{
    if (!m_historico)
        return {};
    const QDate today = hoje();
    const QList<Reviews::Item> todas = Reviews::due(m_memoria, today);
    QList<Reviews::Item> due = Reviews::due(m_memoria, today, m_assunto);
    due = due.mid(0, Reviews::reviewsLeft(m_memoria, today, m_limites, todas.size(), m_dataProva));
    if (m_modo == Modo::Revisoes)
        return due;
    QList<Reviews::Item> novas = Reviews::fresh(m_memoria, m_pools, today, m_assunto);
    novas = novas.mid(0, Reviews::freshLeft(m_memoria, today, m_limites));
    return novas + due;
}

void TFormTreino::BBAnteciparClick()
{
    comecaRodada(Reviews::ahead(m_memoria, hoje(), m_assunto), true);
}

void TFormTreino::comecaRodada(const QList<Reviews::Item> &items, bool antecipando)
{
    // A question the bank no longer holds cannot be shown.
    m_rodada.clear();
    for (const Reviews::Item &c : items)
        if (QuestionBank::instance().question(c.number))
            m_rodada << c;
    m_antecipando = antecipando;
    m_posicao = 0;
    m_certas = 0;
    atualizaPendentes();
    if (m_rodada.isEmpty()) {
        showNotice(QString());
        return;
    }
    showQuestion();
}

void TFormTreino::atualizaPendentes()
{
    if (!m_historico) {
        LabelPendentes->clear();
        LabelCobertura->clear();
        return;
    }
    const QList<Reviews::Item> hojeLista = paraHoje();
    const qsizetype novas =
        std::count_if(hojeLista.begin(), hojeLista.end(), [](const Reviews::Item &i) { return i.fresh; });
    const qsizetype devidas = hojeLista.size() - novas;
    QStringList partes;
    if (devidas > 0 || m_modo == Modo::Revisoes)
        partes << revisoes(devidas);
    if (m_modo == Modo::Assunto)
        partes << (novas == 1 ? QStringLiteral("1 questão nova")
                              : QStringLiteral("%1 questões novas").arg(novas));
    LabelPendentes->setText(partes.join(QStringLiteral(" e ")) + QStringLiteral(" para hoje") +
                            emAssunto(m_assunto));
    const Reviews::Coverage c = Reviews::coverage(m_memoria, m_pools, m_assunto);
    LabelCobertura->setText(
        QStringLiteral("Visto %1 de %2 questões%3").arg(c.seen).arg(c.total).arg(emAssunto(m_assunto)));
}

const StoredQuestion *TFormTreino::questao() const
{
    if (m_posicao < 0 || m_posicao >= m_rodada.size())
        return nullptr;
    return QuestionBank::instance().question(m_rodada[m_posicao].number);
}

void TFormTreino::showQuestion()
{
    const StoredQuestion *q = questao();
    if (!q)
        return;
    m_ouvir->stop();
    const Reviews::Item &item = m_rodada[m_posicao];
    m_resposta = 0;
    m_guardada = false;
    Paginas->setCurrentIndex(0);
    QString posicao = QStringLiteral("Questão %1 de %2  ·  nº %3 do banco  ·  %4  ·  %5")
                          .arg(m_posicao + 1)
                          .arg(m_rodada.size())
                          .arg(item.number)
                          .arg(Subjects::name(item.subject))
                          .arg(item.fresh ? QStringLiteral("nova") : QStringLiteral("revisão"));
    if (m_antecipando)
        posicao += QStringLiteral("  ·  prevista para ") + dataTexto(Memory::dateOf(item.due));
    LabelPosicao->setText(posicao);
    const int count = q->alternativeCount();
    LabelSituacao->setText(
        QStringLiteral("Escolha a alternativa: clique nela, no botão ou tecle a letra (A a %1).")
            .arg(letter(count - 1)));
    WindowKit::setTextColour(LabelSituacao, palette().color(QPalette::WindowText));
    LabelDestino->clear();
    LabelDestino->hide();

    QuestionSheet::showQuestion(LabelPergunta, ImageQuestao, q->text(QuestionKind::Text),
                                q->text(QuestionKind::Picture));
    for (int k = 0; k < kMaxAlternativas; ++k) {
        QLabel *l = LabelAlternativas[k];
        l->setText(QStringLiteral("    ") + letter(k) + QStringLiteral(") ") +
                   q->text(QuestionKind::AlternativeA + k));
        WindowKit::setColour(l, QPalette::Window, Qt::white);
        l->setFont(WindowKit::font(ReadingSettings::instance().scaled(13), false));
        l->setCursor(Qt::PointingHandCursor);
        l->setVisible(k < count);
        BBRespostas[k]->setVisible(k < count);
        BBRespostas[k]->setEnabled(true);
    }
    LabelExplicacao->hide();
    LabelFonte->hide();
    PainelCerteza->hide();
    BBVerCodigo->setEnabled(false);
    Hints::set(BBVerCodigo,
               QStringLiteral("Abrir o Código de Trânsito no artigo citado na fonte (depois de responder)"));
    BBProximo->setEnabled(false);
    BBProximo->setText(QStringLiteral("Próxima"));
    ScrollQuestao->ensureVisible(0, 0);
}

void TFormTreino::answer(int alternativa)
{
    const StoredQuestion *q = questao();
    if (!q || m_resposta > 0 || Paginas->currentIndex() != 0 || alternativa < 1 ||
        alternativa > q->alternativeCount())
        return;
    const int certa = q->text(QuestionKind::Answer).toInt();
    const bool acertou = alternativa == certa;
    m_resposta = alternativa;
    m_certas += acertou ? 1 : 0;
    // A wrong answer is stored at once; a right one when the candidate says how sure it was.
    if (!acertou)
        guarda(DrillAnswer::Confidence::NotAsked);
    showResult();
}

bool TFormTreino::guarda(DrillAnswer::Confidence certeza)
{
    const StoredQuestion *q = questao();
    if (!q || m_resposta == 0 || m_guardada)
        return m_guardada;
    const bool acertou = m_resposta == q->text(QuestionKind::Answer).toInt();
    const Reviews::Item item = m_rodada[m_posicao];
    const QDateTime agora = Clock::current().localNow();
    DrillAnswer a{item.number, agora, acertou, certeza,
                  m_modo == Modo::Assunto ? DrillAnswer::Kind::Subject : DrillAnswer::Kind::Review};
    // The question moves only once the history keeps the answer: what is shown is always what the
    // history will replay.
    m_guardada = StudyHistory::storeDrillAnswer(a);
    if (m_guardada) {
        Memory::apply(m_memoria, {item.number, item.subject, Memory::dayOf(agora.date()), Memory::ratingOf(a),
                                  acertou, true, true});
        m_depois = m_memoria.questions.value(item.number).card;
    } else {
        const QString problema = History::instance().problem();
        Dialogs::error(QStringLiteral("A resposta não pôde ser guardada no histórico.") +
                       (problema.isEmpty() ? QString() : QStringLiteral("\r") + problema));
    }
    return m_guardada;
}

void TFormTreino::BBSeiClick()
{
    if (PainelCerteza->isVisible() && guarda(DrillAnswer::Confidence::Knew))
        showResult();
}

void TFormTreino::BBAchoClick()
{
    if (PainelCerteza->isVisible() && guarda(DrillAnswer::Confidence::Thought))
        showResult();
}

void TFormTreino::BBChuteiClick()
{
    if (PainelCerteza->isVisible() && guarda(DrillAnswer::Confidence::Guessed))
        showResult();
}

void TFormTreino::showResult()
{
    const StoredQuestion *q = questao();
    const int count = q->alternativeCount();
    const int certa = q->text(QuestionKind::Answer).toInt();
    const bool acertou = m_resposta == certa;
    if (acertou)
        LabelSituacao->setText(kSimboloCerta + QStringLiteral(" Certa: sua resposta foi ") +
                               letter(m_resposta - 1));
    else
        LabelSituacao->setText(kSimboloErrada + QStringLiteral(" Errada: sua resposta foi ") +
                               letter(m_resposta - 1) + QStringLiteral(", a certa é ") + letter(certa - 1));
    WindowKit::setTextColour(LabelSituacao, acertou ? kRightText : kWrongText);
    const bool esperando = acertou && !m_guardada && m_resposta > 0;
    PainelCerteza->setVisible(esperando);
    if (esperando)
        LabelDestino->setText(QStringLiteral("Antes de seguir: você sabia a resposta, achava ou chutou?"));
    else if (!m_guardada)
        LabelDestino->setText(QStringLiteral("A resposta não foi guardada: a questão fica onde estava."));
    else
        LabelDestino->setText(QStringLiteral("Guardada. A questão volta ") +
                              quando(Memory::dateOf(m_depois.due)) + QStringLiteral("."));
    LabelDestino->show();

    for (int k = 0; k < count; ++k) {
        QLabel *l = LabelAlternativas[k];
        const bool eCerta = k + 1 == certa;
        const bool dada = k + 1 == m_resposta;
        QString simbolo;
        QString palavra;
        QColor fundo = Qt::white;
        if (eCerta) {
            simbolo = kSimboloCerta;
            palavra = dada ? QStringLiteral("sua resposta, certa") : QStringLiteral("resposta certa");
            fundo = kRightBackground;
        } else if (dada) {
            simbolo = kSimboloErrada;
            palavra = QStringLiteral("sua resposta, errada");
            fundo = kWrongBackground;
        }
        QString text = (simbolo.isEmpty() ? QStringLiteral("    ") : simbolo + QLatin1Char(' ')) + letter(k) +
                       QStringLiteral(") ") + q->text(QuestionKind::AlternativeA + k);
        if (!palavra.isEmpty())
            text += QStringLiteral("  — ") + palavra;
        l->setText(text);
        WindowKit::setColour(l, QPalette::Window, fundo);
        l->setFont(WindowKit::font(ReadingSettings::instance().scaled(13), !palavra.isEmpty()));
        l->unsetCursor();
        BBRespostas[k]->setEnabled(false);
    }

    LabelExplicacao->setText(QStringLiteral("Explicação: ") + q->explanation);
    LabelExplicacao->setVisible(!q->explanation.isEmpty());
    LabelFonte->setText(QStringLiteral("Fonte: ") + q->source);
    LabelFonte->setVisible(!q->source.isEmpty());
    const QList<ArticleRef> artigos = ArticleIndex::citedArticles(q->source);
    BBVerCodigo->setEnabled(!artigos.isEmpty());
    Hints::set(BBVerCodigo,
               artigos.isEmpty()
                   ? QStringLiteral("A fonte desta questão não cita artigo do Código de Trânsito")
                   : QStringLiteral("Abrir o Código de Trânsito no ") + artigos.first().toString());
    BBProximo->setEnabled(!esperando);
    BBProximo->setText(m_posicao + 1 < m_rodada.size() ? QStringLiteral("Próxima")
                                                       : QStringLiteral("Concluir"));
    if (esperando)
        BBSei->setFocus();
    else
        BBProximo->setFocus();
    atualizaPendentes();
}

void TFormTreino::BBProximoClick()
{
    if (Paginas->currentIndex() != 0 || m_resposta == 0 || !BBProximo->isEnabled())
        return;
    ++m_posicao;
    if (m_posicao < m_rodada.size()) {
        showQuestion();
        return;
    }
    // Every question of the round was answered: "Próxima" waits for the answer.
    const qsizetype respondidas = m_rodada.size();
    m_rodada.clear();
    m_posicao = 0;
    showNotice(
        QStringLiteral("Fim da rodada: %1 em %2.")
            .arg(m_certas == 1 ? QStringLiteral("1 acerto") : QStringLiteral("%1 acertos").arg(m_certas))
            .arg(respondidas));
}

void TFormTreino::showNotice(const QString &inicio)
{
    m_ouvir->stop();
    m_resposta = 0;
    Paginas->setCurrentIndex(1);
    const QDate today = hoje();
    const QList<Reviews::Item> restantes = paraHoje();
    const QList<Reviews::Item> devidas = Reviews::due(m_memoria, today, m_assunto);
    const QList<Reviews::Item> futuras = Reviews::ahead(m_memoria, today, m_assunto);
    QStringList linhas;
    if (!inicio.isEmpty())
        linhas << inicio;
    if (!m_historico) {
        const QString problema = History::instance().problem();
        linhas << (problema.isEmpty() ? QStringLiteral("O histórico de estudo não pôde ser aberto.")
                                      : problema);
    } else if (!restantes.isEmpty()) {
        linhas << QStringLiteral("Ainda há %1 para hoje%2.")
                      .arg(questoes(restantes.size()), emAssunto(m_assunto));
    } else {
        if (!devidas.isEmpty())
            linhas << QStringLiteral("O limite de hoje foi atingido: %1 fica para os próximos dias.")
                          .arg(revisoes(devidas.size()));
        else if (m_modo == Modo::Assunto)
            linhas << QStringLiteral("Nada mais para hoje%1.").arg(emAssunto(m_assunto));
        else if (futuras.isEmpty())
            linhas << QStringLiteral("Nenhuma questão para revisar%1.\nAs questões que você responder nas "
                                     "provas e no estudo por assunto aparecem aqui nos dias certos.")
                          .arg(emAssunto(m_assunto));
        else
            linhas << QStringLiteral("Nenhuma revisão para hoje%1.").arg(emAssunto(m_assunto));
        if (!futuras.isEmpty())
            linhas << QStringLiteral("A próxima revisão é ") + quando(Memory::dateOf(futuras.first().due)) +
                          QStringLiteral(".");
    }
    LabelAviso->setText(linhas.join(QLatin1Char('\n')));
    BBContinuar->setVisible(m_historico && !restantes.isEmpty());
    BBAntecipar->setVisible(m_historico && restantes.isEmpty() && devidas.isEmpty() && !futuras.isEmpty());
    if (BBContinuar->isVisible())
        BBContinuar->setFocus();
    else if (BBAntecipar->isVisible())
        BBAntecipar->setFocus();
}

void TFormTreino::BBVerCodigoClick()
{
    const StoredQuestion *q = questao();
    if (!q || m_resposta == 0)
        return;
    QuestionSheet::openCitedArticle(q->source);
}

void TFormTreino::BBFecharClick()
{
    close();
}

void TFormTreino::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { refresh(); });
}

bool TFormTreino::eventFilter(QObject *watched, QEvent *event)
{
    if (QKeyEvent *key = WindowKit::keyPressIn(this, watched, event); key && isActiveWindow()) {
        if (key->modifiers() & ~(Qt::KeypadModifier))
            return QWidget::eventFilter(watched, event);
        const int k = key->key();
        const bool pergunta = Paginas->currentIndex() == 0 && m_resposta == 0;
        if (pergunta && k >= Qt::Key_A && k <= Qt::Key_E) {
            guarded([this, k] { answer(k - Qt::Key_A + 1); });
            return true;
        }
        if (pergunta && k >= Qt::Key_1 && k <= Qt::Key_5) {
            guarded([this, k] { answer(k - Qt::Key_1 + 1); });
            return true;
        }
        if (PainelCerteza->isVisible() && (k == Qt::Key_S || k == Qt::Key_H || k == Qt::Key_U)) {
            guarded([this, k] {
                if (k == Qt::Key_S)
                    BBSeiClick();
                else if (k == Qt::Key_H)
                    BBAchoClick();
                else
                    BBChuteiClick();
            });
            return true;
        }
        if (k == Qt::Key_Escape) {
            guarded([this] { BBFecharClick(); });
            return true;
        }
        if (BBProximo->isEnabled() && Paginas->currentIndex() == 0 &&
            (k == Qt::Key_Right || k == Qt::Key_Return || k == Qt::Key_Enter)) {
            guarded([this] { BBProximoClick(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
