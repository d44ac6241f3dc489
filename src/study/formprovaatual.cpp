// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formprovaatual.h"

#include "history.h"
#include "studyhistory.h"
#include "subjects.h"

#include "common/clock.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/readaloud.h"
#include "common/safefile.h"
#include "common/speechtext.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "exam/formrevisao.h"
#include "exam/questionbank.h"
#include "exam/questionsheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {
const QString kTitulo = QStringLiteral("Prova no formato atual");
const QColor kEscolhida(205, 225, 250);
const QColor kAprovado(0, 120, 0);
const QColor kReprovado(170, 0, 0);
// The time left turns red in the last five minutes.
constexpr int kAlerta = 5 * 60;
constexpr int kIntervalo = 200; // milliseconds between readings of the clock
constexpr int kGravaCada = 10;  // seconds of exam time between keepings of the exam in progress

using QuestionSheet::letter;

// A label of word-wrapped text in the house font; nothing on an exam's page is there to be copied.
QLabel *textLabel(QWidget *parent, const char *name, int pixelSize, bool bold)
{
    QLabel *l = QuestionSheet::textLabel(parent, name, pixelSize, bold);
    l->setTextInteractionFlags(Qt::NoTextInteraction);
    return l;
}

QString descricao()
{
    return QStringLiteral(
               "<p>Uma prova como a teórica do Detran desde a Resolução CONTRAN nº 1.020/2025:</p><ul>"
               "<li><b>%1 questões</b> tiradas de todo o banco, na proporção das matérias do curso "
               "teórico;</li>"
               "<li><b>%2 alternativas</b> em cada questão (A a D), só uma certa;</li>"
               "<li>aprovação com pelo menos <b>%3 acertos</b>;</li>"
               "<li><b>tempo limite</b>: quando o tempo acaba, a prova termina sozinha e é "
               "corrigida.</li></ul>"
               "<p>Ao terminar, a prova é guardada no histórico e pode ser revista questão por questão.</p>")
        .arg(TodayExam::kQuestions)
        .arg(TodayExam::kAlternatives)
        .arg(TodayExam::kPassMark);
}

QPushButton *boldButton(QPushButton *b)
{
    b->setFont(WindowKit::font(12, true));
    b->setMinimumHeight(32);
    return b;
}
} // namespace

TFormProvaAtual::TFormProvaAtual(QWidget *parent)
    : QWidget(parent, Qt::Window), m_prova(QuestionBank::instance())
{
    setObjectName(QStringLiteral("FormProvaAtual"));
    setWindowTitle(kTitulo);
    setFont(WindowKit::font(12, false));
    setMinimumSize(420, 320);
    resize(680, 600);

    Paginas = WindowKit::make<QStackedWidget>(this, "Paginas");
    // The content scrolls when the window is smaller than it (a small screen, large text).
    auto *layout = new QVBoxLayout(WindowKit::scrollingContent(this));
    layout->addWidget(Paginas);
    Paginas->addWidget(buildStartPage());
    Paginas->addWidget(buildExamPage());
    Paginas->addWidget(buildResultPage());

    TimerTempo = new QTimer(this);
    TimerTempo->setObjectName(QStringLiteral("TimerTempo"));
    TimerTempo->setInterval(kIntervalo);

    connect(BBIniciar, &QPushButton::clicked, this, guard([this] { BBIniciarClick(); }));
    connect(BBAnterior, &QPushButton::clicked, this, guard([this] { BBAnteriorClick(); }));
    connect(BBProximo, &QPushButton::clicked, this, guard([this] { BBProximoClick(); }));
    connect(BBFinalizar, &QPushButton::clicked, this, guard([this] { BBFinalizarClick(); }));
    connect(BBSemResposta, &QPushButton::clicked, this, guard([this] { BBSemRespostaClick(); }));
    connect(BBEstudarErros, &QPushButton::clicked, this, guard([this] { BBEstudarErrosClick(); }));
    connect(BBRevisar, &QPushButton::clicked, this, guard([this] { BBRevisarClick(); }));
    connect(BBNovaProva, &QPushButton::clicked, this, guard([this] { BBNovaProvaClick(); }));
    connect(BBFechar, &QPushButton::clicked, this, guard([this] { close(); }));
    connect(TimerTempo, &QTimer::timeout, this, guard([this] { updateCountdown(); }));

    // The window sees its keys before its controls.
    qApp->installEventFilter(this);
    // Esc closes the window from the start and result pages; during the exam "Fechar" asks first.
    WindowKit::onEscape(this, [this] {
        if (pagina() != Prova)
            close();
    });
    showPage(Inicio);
}

QWidget *TFormProvaAtual::buildStartPage()
{
    auto *inicio = WindowKit::make<QWidget>(nullptr, "PaginaInicio");
    auto *inicioLayout = new QVBoxLayout(inicio);
    auto *titulo = textLabel(inicio, "LabelTitulo", 18, true);
    titulo->setText(kTitulo);
    LabelDescricao = textLabel(inicio, "LabelDescricao", 13, false);
    LabelDescricao->setTextFormat(Qt::RichText);
    LabelDescricao->setText(descricao());
    auto *tempoLinha = new QHBoxLayout;
    auto *tempoRotulo = textLabel(inicio, "LabelTempoLimite", 13, true);
    tempoRotulo->setWordWrap(false);
    tempoRotulo->setText(QStringLiteral("Tempo limite:"));
    SpinTempo = WindowKit::make<QSpinBox>(inicio, "SpinTempo");
    SpinTempo->setRange(TodayExam::kMinMinutes, TodayExam::kMaxMinutes);
    SpinTempo->setSuffix(QStringLiteral(" minutos"));
    SpinTempo->setFont(WindowKit::font(13, false));
    SpinTempo->setValue(TodayExam::timeLimitMinutes());
    tempoRotulo->setBuddy(SpinTempo);
    Hints::set(SpinTempo, QStringLiteral("Tempo para fazer a prova|A Resolução CONTRAN nº 1.020/2025 dá "
                                         "no mínimo uma hora; cada Detran fixa o seu tempo"));
    tempoLinha->addWidget(tempoRotulo);
    tempoLinha->addWidget(SpinTempo);
    tempoLinha->addStretch(1);
    CheckTempoAmpliado = WindowKit::button<QCheckBox>(inicio, "CheckTempoAmpliado", QRect(),
                                                      QStringLiteral("Tempo ampliado (o dobro do tempo)"));
    CheckTempoAmpliado->setFont(WindowKit::font(13, false));
    Hints::set(CheckTempoAmpliado,
               QStringLiteral("Tempo ampliado|O candidato com dislexia, TDAH ou autismo pode pedir ao Detran "
                              "a prova com o dobro do tempo; treine com ele"));
    BBIniciar = boldButton(WindowKit::button(inicio, "BBIniciar", QRect(), QStringLiteral("Iniciar"),
                                             Artwork::glyph(this, "prova", 20), 20));
    BBIniciar->setDefault(true);
    Hints::set(BBIniciar, QStringLiteral("Começar uma prova nova com o tempo escolhido"));
    auto *iniciarLinha = new QHBoxLayout;
    iniciarLinha->addStretch(1);
    iniciarLinha->addWidget(BBIniciar);
    inicioLayout->addWidget(titulo);
    inicioLayout->addWidget(LabelDescricao);
    inicioLayout->addSpacing(8);
    inicioLayout->addLayout(tempoLinha);
    inicioLayout->addWidget(CheckTempoAmpliado);
    inicioLayout->addStretch(1);
    inicioLayout->addLayout(iniciarLinha);
    // Enter starts the exam from anywhere on the page (the time box too).
    WindowKit::onKey(
        inicio,
        [](const QKeyEvent &key) { return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter; },
        [this] { BBIniciarClick(); });
    return inicio;
}

QWidget *TFormProvaAtual::buildExamPage()
{
    auto *prova = WindowKit::make<QWidget>(nullptr, "PaginaProva");
    auto *provaLayout = new QVBoxLayout(prova);
    auto *topo = new QHBoxLayout;
    LabelPosicao = textLabel(prova, "LabelPosicao", 14, true);
    LabelRespondidas = textLabel(prova, "LabelRespondidas", 12, false);
    LabelRespondidas->setWordWrap(false);
    auto *tempoCaption = textLabel(prova, "LabelTempoRestante", 12, false);
    tempoCaption->setWordWrap(false);
    tempoCaption->setText(QStringLiteral("Tempo restante:"));
    LabelTempo = textLabel(prova, "LabelTempo", 20, true);
    LabelTempo->setWordWrap(false);
    Hints::set(LabelTempo, QStringLiteral("Tempo que falta (minutos:segundos)"));
    topo->addWidget(LabelPosicao);
    topo->addWidget(LabelRespondidas);
    topo->addStretch(1);
    topo->addWidget(tempoCaption);
    topo->addWidget(LabelTempo);

    const QuestionSheet::Sheet sheet = QuestionSheet::make(prova);
    ScrollQuestao = sheet.scroll;
    LabelPergunta = sheet.question;
    LabelPergunta->setTextInteractionFlags(Qt::NoTextInteraction);
    ImageQuestao = sheet.picture;
    QWidget *folha = sheet.page;
    auto *alternativas = new QGridLayout;
    alternativas->setColumnStretch(1, 1);
    for (int k = 0; k < TodayExam::kAlternatives; ++k) {
        auto *b = WindowKit::button(folha, nullptr, QRect(), letter(k));
        b->setObjectName(QStringLiteral("BBAlternativa") + letter(k));
        b->setCheckable(true);
        b->setFixedSize(36, 32);
        b->setFont(WindowKit::font(13, true));
        Hints::set(b, QStringLiteral("Marcar a alternativa %1 (tecla %1)").arg(letter(k)));
        QLabel *l = QuestionSheet::alternativeLabel(folha, k);
        l->setTextInteractionFlags(Qt::NoTextInteraction);
        WindowKit::onClick(l, [this, k] { chooseAlternative(k); });
        alternativas->addWidget(b, k, 0, Qt::AlignTop);
        alternativas->addWidget(l, k, 1);
        connect(b, &QPushButton::clicked, this, guard([this, k] { chooseAlternative(k); }));
        BBAlternativas << b;
        LabelAlternativas << l;
    }
    sheet.body->addLayout(alternativas);
    sheet.body->addStretch(1);

    m_ouvir = new ReadAloud(this, prova, QRect(), QRect(), [this] { return textoParaOuvir(); });
    for (QToolButton *b : {m_ouvir->ouvirButton(), m_ouvir->optionsButton()}) {
        b->setFont(WindowKit::font(12, true));
        b->setMinimumHeight(32);
    }
    connect(&ReadingSettings::instance(), &ReadingSettings::textScaleChanged, this,
            guard([this] { applyTextScale(); }));

    auto *base = new QHBoxLayout;
    BBAnterior = boldButton(WindowKit::button(prova, "BBAnterior", QRect(), QStringLiteral("Anterior"),
                                              Artwork::glyph(this, "anterior", 20), 20));
    BBProximo = boldButton(WindowKit::button(prova, "BBProximo", QRect(), QStringLiteral("Próxima"),
                                             Artwork::glyph(this, "proxima", 20), 20));
    BBSemResposta =
        boldButton(WindowKit::button(prova, "BBSemResposta", QRect(), QStringLiteral("Sem &resposta")));
    BBFinalizar = boldButton(WindowKit::button(prova, "BBFinalizar", QRect(), QStringLiteral("&Finalizar")));
    Hints::set(BBAnterior, QStringLiteral("Questão anterior (seta para a esquerda)"));
    Hints::set(BBProximo, QStringLiteral("Próxima questão (seta para a direita)"));
    Hints::set(BBSemResposta, QStringLiteral("Ir à próxima questão ainda sem resposta (Alt+R)"));
    Hints::set(BBFinalizar, QStringLiteral("Terminar a prova e ver o resultado (Alt+F)"));
    base->addWidget(BBAnterior);
    base->addWidget(BBProximo);
    base->addWidget(BBSemResposta);
    base->addStretch(1);
    base->addWidget(m_ouvir->ouvirButton());
    base->addWidget(m_ouvir->optionsButton());
    base->addWidget(BBFinalizar);
    provaLayout->addLayout(topo);
    provaLayout->addWidget(ScrollQuestao, 1);
    provaLayout->addLayout(base);
    applyTextScale();
    return prova;
}

QString TFormProvaAtual::textoParaOuvir() const
{
    if (pagina() != Prova || m_posicao < 1 || m_posicao > m_prova.size())
        return {};
    QStringList alternatives;
    for (int k = 0; k < TodayExam::kAlternatives; ++k)
        alternatives << m_prova.alternative(m_posicao, k);
    return SpeechText::questionReading(m_prova.text(m_posicao), alternatives,
                                       !m_prova.picture(m_posicao).isEmpty());
}

void TFormProvaAtual::applyTextScale()
{
    const ReadingSettings &reading = ReadingSettings::instance();
    LabelPosicao->setFont(WindowKit::font(reading.scaled(14), true));
    LabelPergunta->setFont(WindowKit::font(reading.scaled(14), true));
    for (QLabel *l : std::as_const(LabelAlternativas))
        l->setFont(WindowKit::font(reading.scaled(13), l->font().bold()));
}

int TFormProvaAtual::minutosEscolhidos() const
{
    return SpinTempo->value() * (CheckTempoAmpliado->isChecked() ? TodayExam::kExtendedFactor : 1);
}

QWidget *TFormProvaAtual::buildResultPage()
{
    auto *resultado = WindowKit::make<QWidget>(nullptr, "PaginaResultado");
    auto *resultadoLayout = new QVBoxLayout(resultado);
    LabelResultado = textLabel(resultado, "LabelResultado", 24, true);
    LabelResultado->setAlignment(Qt::AlignCenter);
    LabelAcertos = textLabel(resultado, "LabelAcertos", 14, false);
    LabelAcertos->setAlignment(Qt::AlignCenter);
    LabelTempoGasto = textLabel(resultado, "LabelTempoGasto", 14, false);
    LabelTempoGasto->setAlignment(Qt::AlignCenter);
    LabelAviso = textLabel(resultado, "LabelAviso", 13, false);
    LabelAviso->setAlignment(Qt::AlignCenter);
    LabelMaterias = textLabel(resultado, "LabelMaterias", 13, false);
    LabelMaterias->setAlignment(Qt::AlignCenter);
    LabelMaterias->setTextFormat(Qt::RichText);
    BBRevisar = boldButton(WindowKit::button(resultado, "BBRevisar", QRect(), QStringLiteral("Revisar")));
    BBEstudarErros = boldButton(
        WindowKit::button(resultado, "BBEstudarErros", QRect(), QStringLiteral("Estudar meus &erros")));
    Hints::set(BBEstudarErros, QStringLiteral("Treinar as questões erradas que esperam por você hoje"));
    BBEstudarErros->hide();
    BBNovaProva =
        boldButton(WindowKit::button(resultado, "BBNovaProva", QRect(), QStringLiteral("Nova prova")));
    BBFechar = boldButton(WindowKit::button(resultado, "BBFechar", QRect(), QStringLiteral("Fechar"),
                                            Artwork::glyph(this, "fechar", 20), 20));
    Hints::set(BBRevisar, QStringLiteral("Rever cada questão com a sua resposta, a certa e a explicação"));
    Hints::set(BBNovaProva, QStringLiteral("Voltar ao início para fazer outra prova"));
    Hints::set(BBFechar, QStringLiteral("Fechar a janela"));
    auto *botoes = new QHBoxLayout;
    botoes->addStretch(1);
    for (QPushButton *b : {BBRevisar, BBEstudarErros, BBNovaProva, BBFechar})
        botoes->addWidget(b);
    botoes->addStretch(1);
    resultadoLayout->addStretch(1);
    resultadoLayout->addWidget(LabelResultado);
    resultadoLayout->addWidget(LabelAcertos);
    resultadoLayout->addWidget(LabelTempoGasto);
    resultadoLayout->addWidget(LabelAviso);
    resultadoLayout->addSpacing(8);
    resultadoLayout->addWidget(LabelMaterias);
    resultadoLayout->addSpacing(12);
    resultadoLayout->addLayout(botoes);
    resultadoLayout->addStretch(1);
    return resultado;
}

TFormProvaAtual::~TFormProvaAtual()
{
    qApp->removeEventFilter(this);
    // The program ends with an exam running: it is kept to be continued at the next start.
    if (emAndamento())
        guardaProgresso();
}

bool TFormProvaAtual::emAndamento() const
{
    return pagina() == Prova && TimerTempo->isActive();
}

int TFormProvaAtual::decorridos() const
{
    // Counted on the steady clock: a jump of the time of day neither ends the exam nor gives it time.
    const qint64 desde = std::max<qint64>(0, (Clock::current().steadyMs() - m_baseMs) / 1000);
    return static_cast<int>(std::min<qint64>(m_decorridoAntes + desde, qint64(m_minutos) * 60));
}

bool TFormProvaAtual::guardaProgresso()
{
    const QString file = TodayExam::progressFile();
    if (file.isEmpty() || !emAndamento())
        return false;
    m_gravadoEm = decorridos();
    QSaveFile save(file);
    if (!save.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = m_prova.saveProgress({m_inicio, m_minutos, m_gravadoEm, m_posicao});
    if (save.write(text) != text.size()) {
        save.cancelWriting();
        return false;
    }
    return save.commit();
}

void TFormProvaAtual::esqueceProgresso()
{
    const QString file = TodayExam::progressFile();
    if (!file.isEmpty())
        QFile::remove(file);
}

std::optional<TFormProvaAtual::Guardada> TFormProvaAtual::provaGuardada()
{
    const QString file = TodayExam::progressFile();
    if (file.isEmpty())
        return std::nullopt;
    const SafeFile::Result read = SafeFile::read(file, 64 * 1024);
    if (read.status == SafeFile::Status::Missing)
        return std::nullopt;
    TodayExam exam(QuestionBank::instance());
    const std::optional<TodayExam::Progress> progress =
        read.ok() ? exam.restoreProgress(read.bytes) : std::nullopt;
    if (!progress) {
        // Nothing that can be continued: a damaged or outdated file is not offered again.
        if (read.status != SafeFile::Status::NotRegular)
            QFile::remove(file);
        return std::nullopt;
    }
    return Guardada{*progress, exam.answered(), exam.size()};
}

bool TFormProvaAtual::continuaProva()
{
    if (emAndamento())
        return true;
    const SafeFile::Result read = SafeFile::read(TodayExam::progressFile(), 64 * 1024);
    const std::optional<TodayExam::Progress> progress =
        read.ok() ? m_prova.restoreProgress(read.bytes) : std::nullopt;
    if (!progress)
        return false;
    if (Revisao)
        Revisao->close();
    m_idHistorico = 0;
    m_inicio = progress->start;
    m_minutos = progress->minutes;
    m_decorridoAntes = progress->elapsed;
    m_base = Clock::current().localNow();
    m_baseMs = Clock::current().steadyMs();
    m_fim = QDateTime();
    WindowKit::setTextColour(LabelTempo, palette().color(QPalette::WindowText));
    showPage(Prova);
    TimerTempo->start();
    showQuestion(progress->position);
    updateCountdown();
    return true;
}

void TFormProvaAtual::setEstudarErros(std::function<void()> open)
{
    m_estudarErros = std::move(open);
    BBEstudarErros->setVisible(bool(m_estudarErros));
}

TFormProvaAtual::Pagina TFormProvaAtual::pagina() const
{
    return static_cast<Pagina>(Paginas->currentIndex());
}

void TFormProvaAtual::setSorteio(quint32 start)
{
    m_sorteio = start;
}

void TFormProvaAtual::showPage(Pagina p)
{
    if (m_ouvir && p != Prova)
        m_ouvir->stop();
    Paginas->setCurrentIndex(p);
    switch (p) {
    case Inicio:
        SpinTempo->setFocus();
        break;
    case Prova:
        BBProximo->setFocus();
        break;
    case Resultado:
        BBRevisar->setFocus();
        break;
    }
}

void TFormProvaAtual::BBIniciarClick()
{
    if (SpinTempo->value() != TodayExam::timeLimitMinutes())
        TodayExam::setTimeLimitMinutes(SpinTempo->value());
    m_minutos = minutosEscolhidos();
    if (m_sorteio)
        m_prova.draw(*std::exchange(m_sorteio, std::nullopt));
    else
        m_prova.draw();
    if (m_prova.size() == 0)
        return;
    if (Revisao)
        Revisao->close();
    m_idHistorico = 0;
    m_inicio = Clock::current().localNow();
    m_base = m_inicio;
    m_baseMs = Clock::current().steadyMs();
    m_decorridoAntes = 0;
    m_fim = QDateTime();
    mostraTempo(m_minutos * 60);
    WindowKit::setTextColour(LabelTempo, palette().color(QPalette::WindowText));
    showPage(Prova);
    TimerTempo->start();
    showQuestion(1);
}

void TFormProvaAtual::showQuestion(int posicao)
{
    if (posicao < 1 || posicao > m_prova.size())
        return;
    if (m_ouvir && posicao != m_posicao)
        m_ouvir->stop();
    m_posicao = posicao;
    m_prova.markSeen(posicao);
    LabelPosicao->setText(QStringLiteral("Questão %1 de %2").arg(posicao).arg(m_prova.size()));
    QuestionSheet::showQuestion(LabelPergunta, ImageQuestao, m_prova.text(posicao), m_prova.picture(posicao));
    const QString dada = m_prova.answer(posicao);
    for (int k = 0; k < TodayExam::kAlternatives; ++k) {
        const bool escolhida = dada == letter(k);
        LabelAlternativas[k]->setText(m_prova.alternative(posicao, k));
        WindowKit::setColour(LabelAlternativas[k], QPalette::Window,
                             escolhida ? kEscolhida : QColor(Qt::white));
        LabelAlternativas[k]->setFont(WindowKit::font(ReadingSettings::instance().scaled(13), escolhida));
        BBAlternativas[k]->setChecked(escolhida);
    }
    BBAnterior->setEnabled(posicao > 1);
    BBProximo->setEnabled(posicao < m_prova.size());
    ScrollQuestao->ensureVisible(0, 0);
    showAnsweredCount();
    const int semResposta = m_prova.nextUnanswered(posicao);
    BBSemResposta->setEnabled(semResposta != 0 && semResposta != posicao);
    guardaProgresso();
}

void TFormProvaAtual::showAnsweredCount()
{
    LabelRespondidas->setText(
        QStringLiteral("(respondidas: %1 de %2)").arg(m_prova.answered()).arg(m_prova.size()));
}

void TFormProvaAtual::chooseAlternative(int letraIndex)
{
    if (pagina() != Prova || letraIndex < 0 || letraIndex >= TodayExam::kAlternatives)
        return;
    m_prova.setAnswer(m_posicao, letter(letraIndex));
    showQuestion(m_posicao);
}

void TFormProvaAtual::BBAnteriorClick()
{
    if (pagina() == Prova)
        showQuestion(m_posicao - 1);
}

void TFormProvaAtual::BBProximoClick()
{
    if (pagina() == Prova)
        showQuestion(m_posicao + 1);
}

void TFormProvaAtual::mostraTempo(int segundos)
{
    const QString texto = TodayExam::mmss(segundos);
    if (LabelTempo->text() == texto)
        return;
    LabelTempo->setText(texto);
    // A screen reader hears the value with what it is.
    LabelTempo->setAccessibleName(
        QStringLiteral("Tempo restante: %1 minutos e %2 segundos").arg(segundos / 60).arg(segundos % 60));
}

void TFormProvaAtual::BBSemRespostaClick()
{
    if (pagina() != Prova)
        return;
    if (const int p = m_prova.nextUnanswered(m_posicao))
        showQuestion(p);
}

void TFormProvaAtual::BBFinalizarClick()
{
    if (pagina() != Prova)
        return;
    const int faltam = m_prova.size() - m_prova.answered();
    if (faltam > 0) {
        const QString texto =
            faltam == 1
                ? QStringLiteral("Há 1 questão sem resposta. Deseja finalizar a prova?")
                : QStringLiteral("Há %1 questões sem resposta. Deseja finalizar a prova?").arg(faltam);
        // The countdown goes on while the question is open and may end the exam meanwhile.
        if (!Dialogs::current().askYesNo(Dialogs::Icon::Question, QStringLiteral("Finalizar prova"), texto)) {
            // Back to the exam, at the first question still without an answer.
            if (pagina() == Prova)
                showQuestion(m_prova.nextUnanswered(0));
            return;
        }
        if (pagina() != Prova)
            return;
    }
    // The time may have run out while the question was asked.
    finish(decorridos() >= m_minutos * 60);
}

void TFormProvaAtual::updateCountdown()
{
    if (pagina() != Prova)
        return;
    const int usados = decorridos();
    const int falta = std::max(0, m_minutos * 60 - usados);
    mostraTempo(falta);
    if (falta <= kAlerta)
        WindowKit::setTextColour(LabelTempo, kReprovado);
    if (falta == 0) {
        finish(true);
        return;
    }
    // The time left is kept every few seconds for a program that ends without closing the window.
    if (usados - m_gravadoEm >= kGravaCada)
        guardaProgresso();
}

void TFormProvaAtual::finish(bool porTempo)
{
    const int gastos = porTempo ? m_minutos * 60 : decorridos();
    TimerTempo->stop();
    esqueceProgresso();
    m_fim = m_base.addSecs(gastos - m_decorridoAntes);
    const int acertos = m_prova.right();
    const bool aprovado = m_prova.passed();
    m_idHistorico = StudyHistory::store(m_prova.historyExam(m_inicio, m_fim, gastos));

    LabelResultado->setText(aprovado ? QStringLiteral("Aprovado") : QStringLiteral("Reprovado"));
    WindowKit::setTextColour(LabelResultado, aprovado ? kAprovado : kReprovado);
    LabelAcertos->setText((acertos == 1
                               ? QStringLiteral("%1 acerto em %2 questões (para aprovação: pelo menos %3)")
                               : QStringLiteral("%1 acertos em %2 questões (para aprovação: pelo menos %3)"))
                              .arg(acertos)
                              .arg(m_prova.size())
                              .arg(TodayExam::kPassMark));
    LabelTempoGasto->setText(QStringLiteral("Tempo gasto: %1 de %2")
                                 .arg(TodayExam::mmss(gastos), TodayExam::mmss(m_minutos * 60)));
    QStringList avisos;
    if (porTempo)
        avisos << QStringLiteral("O tempo acabou: a prova terminou sozinha.");
    if (!m_idHistorico)
        avisos << QStringLiteral("Não foi possível guardar esta prova no histórico.");
    int exibidas = 0;
    for (int p = 1; p <= m_prova.size(); ++p)
        exibidas += m_prova.seen(p) ? 1 : 0;
    if (m_prova.answered() < m_prova.size()) {
        QString respondidas =
            QStringLiteral("Respondidas: %1 de %2.").arg(m_prova.answered()).arg(m_prova.size());
        if (exibidas < m_prova.size())
            respondidas +=
                (m_prova.size() - exibidas == 1
                     ? QStringLiteral(" 1 não chegou a ser exibida.")
                     : QStringLiteral(" %1 não chegaram a ser exibidas.").arg(m_prova.size() - exibidas));
        avisos.prepend(respondidas);
    }
    LabelAviso->setText(avisos.join(QLatin1Char(' ')));
    LabelAviso->setVisible(!avisos.isEmpty());
    QString materias =
        QStringLiteral("<table align=\"center\" cellpadding=\"2\"><tr><th align=\"left\">Matéria</th>"
                       "<th align=\"right\">Acertos</th></tr>");
    const QList<SubjectTotal> porMateria = m_prova.bySubject();
    for (int m = 0; m < porMateria.size(); ++m) {
        if (porMateria[m].total == 0)
            continue;
        materias += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2 de %3</td></tr>")
                        .arg(Subjects::name(m).toHtmlEscaped())
                        .arg(porMateria[m].right)
                        .arg(porMateria[m].total);
    }
    LabelMaterias->setText(materias + QStringLiteral("</table>"));
    showPage(Resultado);
    if (porTempo)
        Dialogs::current().message(Dialogs::Icon::Information, kTitulo,
                                   QStringLiteral("O tempo acabou. A prova foi encerrada e corrigida."));
}

void TFormProvaAtual::BBRevisarClick()
{
    if (pagina() != Resultado)
        return;
    if (!Revisao)
        Revisao = new TFormRevisao(this);
    Revisao->setProva(m_prova.corrected(), TFormRevisao::descricao(ExamTypes::kTodayFormat, m_inicio));
    WindowKit::showInFront(Revisao);
}

void TFormProvaAtual::BBEstudarErrosClick()
{
    if (m_estudarErros)
        m_estudarErros();
}

void TFormProvaAtual::BBNovaProvaClick()
{
    if (Revisao)
        Revisao->close();
    SpinTempo->setValue(TodayExam::timeLimitMinutes());
    showPage(Inicio);
}

void TFormProvaAtual::closeEvent(QCloseEvent *event)
{
    if (pagina() == Prova && TimerTempo->isActive()) {
        if (!Dialogs::current().askYesNo(
                Dialogs::Icon::Question, kTitulo,
                QStringLiteral(
                    "Deseja abandonar a prova? Ela não será corrigida nem guardada no histórico."))) {
            event->ignore();
            return;
        }
        // Unless the time ran out while the question was open (the exam is then stored).
        if (pagina() == Prova) {
            TimerTempo->stop();
            esqueceProgresso();
            showPage(Inicio);
        }
    }
    if (Revisao)
        Revisao->close();
    event->accept();
}

bool TFormProvaAtual::eventFilter(QObject *watched, QEvent *event)
{
    QKeyEvent *key = WindowKit::keyPressIn(this, watched, event);
    if (key && isActiveWindow() && pagina() == Prova && !(key->modifiers() & ~Qt::KeypadModifier)) {
        switch (key->key()) {
        case Qt::Key_A:
        case Qt::Key_B:
        case Qt::Key_C:
        case Qt::Key_D: {
            const int k = key->key() - Qt::Key_A;
            guarded([this, k] { chooseAlternative(k); });
            return true;
        }
        case Qt::Key_Left:
        case Qt::Key_PageUp:
            guarded([this] { BBAnteriorClick(); });
            return true;
        case Qt::Key_Right:
        case Qt::Key_PageDown:
            guarded([this] { BBProximoClick(); });
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
