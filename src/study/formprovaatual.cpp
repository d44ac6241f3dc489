#include "formprovaatual.h"

#include "history.h"
#include "studyhistory.h"

#include "common/clock.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "exam/formrevisao.h"
#include "exam/questionbank.h"
#include "exam/questionsheet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
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
               "<li><b>%1 questões</b> tiradas de todo o banco, na proporção dos assuntos do curso "
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
    setMinimumSize(480, 420);
    resize(680, 600);

    Paginas = WindowKit::make<QStackedWidget>(this, "Paginas");
    auto *layout = new QVBoxLayout(this);
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
    connect(BBRevisar, &QPushButton::clicked, this, guard([this] { BBRevisarClick(); }));
    connect(BBNovaProva, &QPushButton::clicked, this, guard([this] { BBNovaProvaClick(); }));
    connect(BBFechar, &QPushButton::clicked, this, guard([this] { close(); }));
    connect(TimerTempo, &QTimer::timeout, this, guard([this] { updateCountdown(); }));

    // The window sees its keys before its controls.
    qApp->installEventFilter(this);
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
    inicioLayout->addStretch(1);
    inicioLayout->addLayout(iniciarLinha);
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

    auto *base = new QHBoxLayout;
    BBAnterior = boldButton(WindowKit::button(prova, "BBAnterior", QRect(), QStringLiteral("Anterior"),
                                              Artwork::glyph(this, "anterior", 20), 20));
    BBProximo = boldButton(WindowKit::button(prova, "BBProximo", QRect(), QStringLiteral("Próxima"),
                                             Artwork::glyph(this, "proxima", 20), 20));
    BBFinalizar = boldButton(WindowKit::button(prova, "BBFinalizar", QRect(), QStringLiteral("Finalizar")));
    Hints::set(BBAnterior, QStringLiteral("Questão anterior (seta para a esquerda)"));
    Hints::set(BBProximo, QStringLiteral("Próxima questão (seta para a direita)"));
    Hints::set(BBFinalizar, QStringLiteral("Terminar a prova e ver o resultado"));
    base->addWidget(BBAnterior);
    base->addWidget(BBProximo);
    base->addStretch(1);
    base->addWidget(BBFinalizar);
    provaLayout->addLayout(topo);
    provaLayout->addWidget(ScrollQuestao, 1);
    provaLayout->addLayout(base);
    return prova;
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
    BBRevisar = boldButton(WindowKit::button(resultado, "BBRevisar", QRect(), QStringLiteral("Revisar")));
    BBNovaProva =
        boldButton(WindowKit::button(resultado, "BBNovaProva", QRect(), QStringLiteral("Nova prova")));
    BBFechar = boldButton(WindowKit::button(resultado, "BBFechar", QRect(), QStringLiteral("Fechar"),
                                            Artwork::glyph(this, "fechar", 20), 20));
    Hints::set(BBRevisar, QStringLiteral("Rever cada questão com a sua resposta, a certa e a explicação"));
    Hints::set(BBNovaProva, QStringLiteral("Voltar ao início para fazer outra prova"));
    Hints::set(BBFechar, QStringLiteral("Fechar a janela"));
    auto *botoes = new QHBoxLayout;
    botoes->addStretch(1);
    for (QPushButton *b : {BBRevisar, BBNovaProva, BBFechar})
        botoes->addWidget(b);
    botoes->addStretch(1);
    resultadoLayout->addStretch(1);
    resultadoLayout->addWidget(LabelResultado);
    resultadoLayout->addWidget(LabelAcertos);
    resultadoLayout->addWidget(LabelTempoGasto);
    resultadoLayout->addWidget(LabelAviso);
    resultadoLayout->addSpacing(12);
    resultadoLayout->addLayout(botoes);
    resultadoLayout->addStretch(1);
    return resultado;
}

TFormProvaAtual::~TFormProvaAtual()
{
    qApp->removeEventFilter(this);
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
    m_minutos = SpinTempo->value();
    if (m_minutos != TodayExam::timeLimitMinutes())
        TodayExam::setTimeLimitMinutes(m_minutos);
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
    m_inicioMs = Clock::current().steadyMs();
    m_fim = QDateTime();
    LabelTempo->setText(TodayExam::mmss(m_minutos * 60));
    WindowKit::setTextColour(LabelTempo, palette().color(QPalette::WindowText));
    showPage(Prova);
    showQuestion(1);
    TimerTempo->start();
}

void TFormProvaAtual::showQuestion(int posicao)
{
    if (posicao < 1 || posicao > m_prova.size())
        return;
    m_posicao = posicao;
    LabelPosicao->setText(QStringLiteral("Questão %1 de %2").arg(posicao).arg(m_prova.size()));
    QuestionSheet::showQuestion(LabelPergunta, ImageQuestao, m_prova.text(posicao), m_prova.picture(posicao));
    const QString dada = m_prova.answer(posicao);
    for (int k = 0; k < TodayExam::kAlternatives; ++k) {
        const bool escolhida = dada == letter(k);
        LabelAlternativas[k]->setText(m_prova.alternative(posicao, k));
        WindowKit::setColour(LabelAlternativas[k], QPalette::Window,
                             escolhida ? kEscolhida : QColor(Qt::white));
        LabelAlternativas[k]->setFont(WindowKit::font(13, escolhida));
        BBAlternativas[k]->setChecked(escolhida);
    }
    BBAnterior->setEnabled(posicao > 1);
    BBProximo->setEnabled(posicao < m_prova.size());
    ScrollQuestao->ensureVisible(0, 0);
    showAnsweredCount();
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
        if (!Dialogs::current().askYesNo(Dialogs::Icon::Question, QStringLiteral("Finalizar prova"), texto) ||
            pagina() != Prova)
            return;
    }
    // The time may have run out while the question was asked.
    const QDateTime limite = m_inicio.addSecs(qint64(m_minutos) * 60);
    const QDateTime agora = decorrido();
    finish(agora < limite ? agora : limite, agora >= limite);
}

QDateTime TFormProvaAtual::decorrido() const
{
    return m_inicio.addMSecs(std::max<qint64>(0, Clock::current().steadyMs() - m_inicioMs));
}

void TFormProvaAtual::updateCountdown()
{
    if (pagina() != Prova)
        return;
    const int falta = TodayExam::secondsLeft(m_inicio, decorrido(), m_minutos);
    LabelTempo->setText(TodayExam::mmss(falta));
    if (falta <= kAlerta)
        WindowKit::setTextColour(LabelTempo, kReprovado);
    if (falta == 0)
        finish(m_inicio.addSecs(qint64(m_minutos) * 60), true);
}

void TFormProvaAtual::finish(const QDateTime &end, bool porTempo)
{
    TimerTempo->stop();
    m_fim = end;
    const int acertos = m_prova.right();
    const bool aprovado = m_prova.passed();
    m_idHistorico = StudyHistory::store(m_prova.historyExam(m_inicio, m_fim));

    LabelResultado->setText(aprovado ? QStringLiteral("Aprovado") : QStringLiteral("Reprovado"));
    WindowKit::setTextColour(LabelResultado, aprovado ? kAprovado : kReprovado);
    LabelAcertos->setText((acertos == 1
                               ? QStringLiteral("%1 acerto em %2 questões (para aprovação: pelo menos %3)")
                               : QStringLiteral("%1 acertos em %2 questões (para aprovação: pelo menos %3)"))
                              .arg(acertos)
                              .arg(m_prova.size())
                              .arg(TodayExam::kPassMark));
    const int gastos = static_cast<int>(std::max<qint64>(0, m_inicio.secsTo(m_fim)));
    LabelTempoGasto->setText(QStringLiteral("Tempo gasto: %1 de %2")
                                 .arg(TodayExam::mmss(gastos), TodayExam::mmss(m_minutos * 60)));
    QStringList avisos;
    if (porTempo)
        avisos << QStringLiteral("O tempo acabou: a prova terminou sozinha.");
    if (!m_idHistorico)
        avisos << QStringLiteral("Não foi possível guardar esta prova no histórico.");
    LabelAviso->setText(avisos.join(QLatin1Char(' ')));
    LabelAviso->setVisible(!avisos.isEmpty());
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
    Revisao->setProva(m_prova.corrected());
    WindowKit::showInFront(Revisao);
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
