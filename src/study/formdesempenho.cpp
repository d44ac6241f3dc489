// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formdesempenho.h"

#include "readiness.h"
#include "reviews.h"
#include "studyhistory.h"
#include "studywindow.h"
#include "subjects.h"
#include "todayexam.h"

#include "common/chart.h"
#include "common/clock.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/windowkit.h"
#include "exam/examtypes.h"
#include "exam/questionbank.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
// The least number of right answers today's exam asks.
constexpr int kMinimoAtual = 20;
// The days of study the chance is shown over.
constexpr int kDiasDaCurva = 60;

QString dia(Fsrs::Day d)
{
    return Memory::dateOf(d).toString(QStringLiteral("dd/MM"));
}

QString porcento(double x)
{
    return QStringLiteral("%1%").arg(qRound(x * 100));
}

// The questions the exam in today's format draws from, by subject.
const Readiness::Pools &examPools()
{
    static const Readiness::Pools pools = TodayExam::pools(QuestionBank::instance());
    return pools;
}

QString dataHora(const QDateTime &t)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(t, QStringLiteral("dd/MM/yyyy HH:mm"));
}

QTableWidgetItem *celula(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

// A table of figures, one row per name (the first column), the rest filled later: read only, no
// selection, no focus, as tall as its rows.
QTableWidget *tabela(QWidget *parent, const char *name, const QStringList &colunas, const QStringList &linhas)
{
    auto *t = WindowKit::make<QTableWidget>(parent, name);
    t->setRowCount(static_cast<int>(linhas.size()));
    t->setColumnCount(static_cast<int>(colunas.size()));
    t->setHorizontalHeaderLabels(colunas);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < t->columnCount(); ++c)
        t->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setFocusPolicy(Qt::NoFocus);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 8);
    for (int r = 0; r < t->rowCount(); ++r)
        t->setItem(r, 0, celula(linhas[r], Qt::AlignLeft));
    t->setFixedHeight(t->horizontalHeader()->sizeHint().height() + t->verticalHeader()->length() +
                      2 * t->frameWidth());
    return t;
}
} // namespace

TFormDesempenho::TFormDesempenho(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormDesempenho"));
    WindowKit::onEscape(this, [this] { close(); });
    // Back to the window after an exam or a drill: it shows the history as it is now.
    StudyWindow::refreshWhenHistoryChanges(this, &m_revisao, [this] { refresh(); });
    setWindowTitle(QStringLiteral("Desempenho"));
    setFont(WindowKit::font(12, false));
    setMinimumSize(420, 320);
    resize(680, 700);

    LabelResumo = WindowKit::make<QLabel>(this, "LabelResumo");
    LabelResumo->setWordWrap(true);
    LabelResumo->setFont(WindowKit::font(14, true));

    QStringList materias;
    for (int s = 0; s < Subjects::kCount; ++s)
        materias << Subjects::name(s);
    GridMaterias = tabela(this, "GridMaterias",
                          {QStringLiteral("Matéria"), QStringLiteral("Todas as provas"),
                           QStringLiteral("Últimas cinco provas"), QStringLiteral("Questões vistas")},
                          materias);
    QStringList modulos;
    for (int m = 1; m <= kModules; ++m)
        modulos << QStringLiteral("%1. %2").arg(m).arg(moduleName(m));
    GridModulos = tabela(this, "GridModulos",
                         {QStringLiteral("Módulo do curso"), QStringLiteral("Na prova (média)"),
                          QStringLiteral("Questões vistas"), QStringLiteral("Acerto esperado")},
                         modulos);
    GridModulos->setAccessibleName(QStringLiteral("Módulos do curso"));

    Grafico = Chart::make(this, "Grafico", QStringLiteral("Acertos nas últimas provas"));
    Grafico->setAccessibleName(QStringLiteral("Gráfico dos acertos nas últimas provas"));
    Grafico->setMinimumHeight(240);

    GraficoChance =
        Chart::make(this, "GraficoChance", QStringLiteral("Chance de aprovação ao longo dos dias"));
    GraficoChance->setAccessibleName(QStringLiteral("Gráfico da chance de aprovação ao longo dos dias"));
    GraficoChance->setMinimumHeight(220);

    LabelFraca = WindowKit::make<QLabel>(this, "LabelFraca");
    LabelFraca->setWordWrap(true);
    BBTreinar = WindowKit::make<QPushButton>(this, "BBTreinar");
    // The caption, which names the subject, is what a screen reader says: it is there before the hint.
    BBTreinar->setText(QStringLiteral("&Treinar"));
    Hints::set(BBTreinar, QStringLiteral("Estuda esta matéria: as questões não vistas e as revisões"));
    connect(BBTreinar, &QPushButton::clicked, this, guard([this] { BBTreinarClick(); }));
    BBFechar = WindowKit::button(this, "BBFechar", QRect(), QStringLiteral("&Fechar"));
    connect(BBFechar, &QPushButton::clicked, this, &QWidget::close);

    LabelChance = WindowKit::make<QLabel>(this, "LabelChance");
    LabelChance->setWordWrap(true);
    LabelChance->setFont(WindowKit::font(13, false));
    auto *estudar = new QHBoxLayout;
    for (int k = 0; k < 3; ++k) {
        auto *b = WindowKit::make<QPushButton>(this, nullptr);
        b->setObjectName(QStringLiteral("BBEstudar%1").arg(k + 1));
        connect(b, &QPushButton::clicked, this, guard([this, k] {
                    if (m_treinar && k < m_estudar.size())
                        m_treinar(m_estudar[k]);
                }));
        b->hide();
        estudar->addWidget(b);
        BBEstudar << b;
    }
    estudar->addStretch(1);

    auto *fraca = new QHBoxLayout;
    fraca->addWidget(LabelFraca, 1);
    fraca->addWidget(BBTreinar);
    auto *rodape = new QHBoxLayout;
    rodape->addStretch(1);
    rodape->addWidget(BBFechar);
    // The content scrolls when the window is smaller than it (a small screen, large text).
    auto *layout = new QVBoxLayout(WindowKit::scrollingContent(this));
    layout->addWidget(LabelResumo);
    layout->addWidget(LabelChance);
    layout->addLayout(estudar);
    layout->addWidget(GridMaterias);
    layout->addWidget(GridModulos);
    layout->addWidget(Grafico, 1);
    layout->addWidget(GraficoChance, 1);
    layout->addLayout(fraca);
    layout->addLayout(rodape);
}

void TFormDesempenho::showEvent(QShowEvent *event)
{
    refresh();
    QWidget::showEvent(event);
}

void TFormDesempenho::refresh()
{
    m_revisao = History::revision();
    m_report = Progress::report(StudyHistory::get());
    const Progress::Report &r = m_report;
    if (r.exams == 0) {
        LabelResumo->setText(
            QStringLiteral("Nenhuma prova guardada ainda. Faça uma prova (do menu Provas ou a "
                           "prova no formato atual) e corrija: o resultado aparece aqui."));
    } else {
        const HistorySummary &ultima = r.last.last();
        LabelResumo->setText(
            QStringLiteral("%1 %2. A última, em %3: %4 %5 em %6 questões.")
                .arg(r.exams)
                .arg(r.exams == 1 ? QStringLiteral("prova feita") : QStringLiteral("provas feitas"))
                .arg(dataHora(ultima.start))
                .arg(ultima.right)
                .arg(ultima.right == 1 ? QStringLiteral("acerto") : QStringLiteral("acertos"))
                .arg(ultima.total));
    }
    for (int s = 0; s < Subjects::kCount; ++s) {
        GridMaterias->setItem(s, 1, celula(Progress::shareText(r.all.value(s)), Qt::AlignRight));
        GridMaterias->setItem(s, 2, celula(Progress::shareText(r.recent.value(s)), Qt::AlignRight));
    }
    mostraChance();
    QStringList nunca;
    for (int s = 0; s < Subjects::kCount; ++s)
        if (r.all.value(s).total == 0)
            nunca << Subjects::name(s);
    const QString naoCairam = r.exams == 0 || nunca.isEmpty()
                                  ? QString()
                                  : (nunca.size() == 1 ? QStringLiteral(" Ainda não caiu nas provas: %1.")
                                                       : QStringLiteral(" Ainda não caíram nas provas: %1."))
                                        .arg(nunca.join(QStringLiteral(", ")).toHtmlEscaped());
    if (r.weakest < 0) {
        LabelFraca->setText((r.exams == 0
                                 ? QStringLiteral("A matéria mais fraca aparece depois da primeira prova.")
                                 : QStringLiteral("Ainda não há respostas bastantes para apontar a matéria "
                                                  "mais fraca (ao menos %1 numa matéria nas últimas "
                                                  "cinco provas).")
                                       .arg(Progress::kMinAnswersToJudge)) +
                            naoCairam);
        BBTreinar->setText(QStringLiteral("&Treinar"));
        BBTreinar->setEnabled(false);
    } else {
        LabelFraca->setText(
            QStringLiteral("Matéria mais fraca nas últimas provas: <b>%1</b>, com %2 de acertos.")
                .arg(Subjects::name(r.weakest).toHtmlEscaped())
                .arg(QStringLiteral("%1%").arg(Progress::share(r.recent.value(r.weakest)))) +
            naoCairam);
        BBTreinar->setText(QStringLiteral("&Treinar ") + Subjects::name(r.weakest));
        BBTreinar->setEnabled(static_cast<bool>(m_treinar));
    }
    mostraGrafico();
}

void TFormDesempenho::mostraChance()
{
    const Memory::State &memoria = StudyHistory::memory();
    const Readiness::Pools &pools = examPools();
    const QDate today = Clock::current().localNow().date();
    const std::optional<QDate> prova = Reviews::examDate(today);
    const QDate dia = prova.value_or(today);
    const Readiness::Estimate e = Readiness::estimate(memoria, pools, Memory::dayOf(dia));
    const auto pct = porcento;
    int materias = 0;
    for (const Memory::Tally &t : memoria.firstAttempts)
        materias += t.total > 0 ? 1 : 0;
    const QString quando =
        prova ? QStringLiteral("na data da prova (%1)").arg(dia.toString(QStringLiteral("dd/MM/yyyy")))
              : QStringLiteral("se a prova fosse hoje");
    if (!e.enough)
        LabelChance->setText(
            QStringLiteral(
                "Chance de aprovação: ainda não dá para avaliar. São precisas ao menos %1 respostas "
                "em %2 matérias; há %3 em %4.")
                .arg(Readiness::kMinAnswers)
                .arg(Readiness::kMinSubjects)
                .arg(memoria.answers)
                .arg(materias));
    else
        LabelChance->setText(
            QStringLiteral("Chance de aprovação %1: <b>%2</b> (provavelmente entre %3 e %4).")
                .arg(quando, pct(e.chance), pct(e.low), pct(e.high)));
    m_estudar = e.enough ? e.raise : QList<int>();
    for (int k = 0; k < BBEstudar.size(); ++k) {
        QPushButton *b = BBEstudar[k];
        b->setVisible(k < m_estudar.size());
        if (k < m_estudar.size()) {
            b->setText(QStringLiteral("Estudar ") + Subjects::name(m_estudar[k]));
            Hints::set(b, QStringLiteral("Estudar esta matéria subiria a chance em até %1 pontos")
                              .arg(qRound(e.gain[static_cast<std::size_t>(m_estudar[k])] * 100)));
        }
    }
    for (int s = 0; s < Subjects::kCount; ++s) {
        const std::size_t i = static_cast<std::size_t>(s);
        GridMaterias->setItem(s, 3,
                              celula(e.answered[i] == 0 && e.total[i] > 0
                                         ? QStringLiteral("nenhuma de %1").arg(e.total[i])
                                         : QStringLiteral("%1 de %2").arg(e.answered[i]).arg(e.total[i]),
                                     Qt::AlignRight));
    }
    mostraModulos(e, Memory::dayOf(dia));
    mostraCurva(e, prova.has_value(), Memory::dayOf(today), Memory::dayOf(dia));
}

void TFormDesempenho::mostraModulos(const Readiness::Estimate &e, Fsrs::Day dia)
{
    const Readiness::Pools &pools = examPools();
    static const QHash<int, int> moduloDe = Readiness::modulesOf(QuestionBank::instance());
    GridModulos->setVisible(!moduloDe.isEmpty());
    if (moduloDe.isEmpty())
        return;
    const Readiness::Modules m = Readiness::byModule(StudyHistory::memory(), pools, moduloDe, dia, e.scale);
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    for (int k = 0; k < kModules; ++k) {
        const auto i = static_cast<std::size_t>(k);
        GridModulos->setItem(
            k, 1,
            celula(QStringLiteral("%1 questões").arg(br.toString(m.inExam[i], 'f', 1)), Qt::AlignRight));
        GridModulos->setItem(k, 2,
                             celula(m.answered[i] == 0 && m.total[i] > 0
                                        ? QStringLiteral("nenhuma de %1").arg(m.total[i])
                                        : QStringLiteral("%1 de %2").arg(m.answered[i]).arg(m.total[i]),
                                    Qt::AlignRight));
        GridModulos->setItem(
            k, 3, celula(e.enough ? porcento(m.expected[i]) : QStringLiteral("—"), Qt::AlignRight));
    }
}

void TFormDesempenho::mostraCurva(const Readiness::Estimate &naProva, bool temData, Fsrs::Day hoje,
                                  Fsrs::Day prova)
{
    const Readiness::Pools &pools = examPools();
    QList<Readiness::DayChance> pontos = StudyHistory::chanceCurve(pools, hoje, kDiasDaCurva);
    // Today: the memory as it is now (it holds today's answers), for an exam today.
    const Readiness::Estimate agora =
        temData && prova != hoje ? Readiness::estimate(StudyHistory::memory(), pools, hoje) : naProva;
    if (StudyHistory::memory().answers > 0)
        pontos.append({hoje, agora.enough, agora.chance, agora.low, agora.high});

    ChartSeries faixa;
    faixa.kind = ChartSeries::Kind::Band;
    faixa.name = QStringLiteral("Faixa provável (80%)");
    faixa.colour = QColor(120, 160, 220, 90);
    faixa.border = QColor(120, 160, 220, 160);
    ChartSeries chance;
    chance.name = QStringLiteral("Chance se a prova fosse no dia");
    chance.pointsVisible = true;

    const auto x = [](Fsrs::Day d) {
        return double(QDateTime(Memory::dateOf(d), QTime(12, 0)).toMSecsSinceEpoch());
    };
    const Readiness::DayChance *primeiro = nullptr;
    const Readiness::DayChance *ultimo = nullptr;
    for (const Readiness::DayChance &p : std::as_const(pontos)) {
        if (!p.enough)
            continue;
        chance.points.append({x(p.day), p.chance * 100});
        faixa.upper.append({x(p.day), p.high * 100});
        faixa.points.append({x(p.day), p.low * 100});
        primeiro = primeiro ? primeiro : &p;
        ultimo = &p;
    }
    ChartContent content;
    content.series = {faixa, chance};
    // With an exam date ahead, the chance on that day stands apart at its end.
    const bool previsao = temData && prova > hoje && naProva.enough;
    if (previsao) {
        ChartSeries naData;
        naData.kind = ChartSeries::Kind::Points;
        naData.name = QStringLiteral("Na data da prova");
        naData.markerSize = 10;
        naData.colour = QColor(30, 130, 60);
        naData.points.append({x(prova), naProva.chance * 100});
        content.series.append(naData);
    }

    Fsrs::Day de = primeiro ? primeiro->day : hoje;
    Fsrs::Day ate = std::max(hoje, previsao ? prova : hoje);
    content.x = {true,       QStringLiteral("dd/MM"),        QStringLiteral("Dia"), x(de - 1),
                 x(ate + 1), qBound(2, int(ate - de + 3), 7)};
    content.y = {false, QStringLiteral("%d%"), QStringLiteral("Chance"), 0, 100, 6};
    Chart::show(GraficoChance, content);

    // What the chart shows, in words, for a screen reader.
    QString resumo;
    if (!ultimo) {
        resumo = QStringLiteral("Ainda não dá para avaliar a chance em nenhum dia de estudo.");
    } else {
        resumo = QStringLiteral("Chance se a prova fosse no dia, em %1 %2: de %3 em %4 a %5 em %6 "
                                "(provavelmente entre %7 e %8).")
                     .arg(chance.points.size())
                     .arg(chance.points.size() == 1 ? QStringLiteral("dia de estudo")
                                                    : QStringLiteral("dias de estudo"))
                     .arg(porcento(primeiro->chance), dia(primeiro->day), porcento(ultimo->chance),
                          ultimo->day == hoje ? QStringLiteral("hoje") : dia(ultimo->day),
                          porcento(ultimo->low), porcento(ultimo->high));
        if (previsao)
            resumo += QStringLiteral(" Na data da prova, %1: %2.").arg(dia(prova), porcento(naProva.chance));
    }
    GraficoChance->setAccessibleDescription(resumo);
}

void TFormDesempenho::mostraGrafico()
{
    // Drawn exams measure what is known; a fixed list, done again, also how well it is remembered.
    ChartSeries acertos;
    acertos.name = QStringLiteral("Provas sorteadas");
    acertos.pointsVisible = true;
    ChartSeries fixas;
    fixas.kind = ChartSeries::Kind::Points;
    fixas.name = QStringLiteral("Listas fixas (medem também a memória da lista)");
    fixas.markerSize = 8;
    fixas.squareMarkers = true;
    ChartSeries minimo;
    minimo.name = QStringLiteral("Mínimo do exame atual (20)");
    minimo.pen = QPen(QColor(200, 40, 40));
    minimo.pen.setStyle(Qt::DashLine);
    minimo.pen.setWidth(2);
    minimo.penSet = true;

    QDateTime first, last;
    for (const HistorySummary &s : m_report.last) {
        (s.type >= 1 && s.type <= ExamTypes::kFixedTypes ? fixas : acertos)
            .points.append({double(s.start.toMSecsSinceEpoch()), double(s.right)});
        if (!first.isValid())
            first = s.start;
        last = s.start;
    }
    if (!first.isValid())
        first = last = Clock::current().localNow();
    // A single exam (or exams on one instant) still gets a span to draw on, and the first and last
    // points stand clear of the chart's edges.
    const qint64 margin = qMax<qint64>(1800, first.secsTo(last) / 30);
    first = first.addSecs(-margin);
    last = last.addSecs(margin);
    minimo.points = {{double(first.toMSecsSinceEpoch()), double(kMinimoAtual)},
                     {double(last.toMSecsSinceEpoch()), double(kMinimoAtual)}};
    ChartContent content;
    content.series = {acertos, fixas, minimo};
    content.x = {true,
                 first.daysTo(last) >= 1 ? QStringLiteral("dd/MM") : QStringLiteral("HH:mm"),
                 QStringLiteral("Data da prova"),
                 double(first.toMSecsSinceEpoch()),
                 double(last.toMSecsSinceEpoch()),
                 qBound(2, int(m_report.last.size()), 7)};
    content.y = {false, QStringLiteral("%d"), QStringLiteral("Acertos"), 0, double(ExamTypes::kQuestions), 7};
    Chart::show(Grafico, content);

    // What the chart shows, in words, for a screen reader.
    QString resumo;
    if (m_report.last.isEmpty()) {
        resumo = QStringLiteral("Nenhuma prova ainda.");
    } else {
        int menor = ExamTypes::kQuestions;
        int maior = 0;
        int acima = 0;
        for (const HistorySummary &s : m_report.last) {
            menor = std::min(menor, s.right);
            maior = std::max(maior, s.right);
            acima += s.right >= kMinimoAtual ? 1 : 0;
        }
        const qsizetype n = m_report.last.size();
        resumo =
            QStringLiteral("%1 %2 (%9 sorteadas, %10 de listas fixas): de %3 a %4 acertos; %5 com %6 acertos "
                           "ou mais. A última, em %7: %8.")
                .arg(n)
                .arg(n == 1 ? QStringLiteral("prova") : QStringLiteral("provas"))
                .arg(menor)
                .arg(maior)
                .arg(acima)
                .arg(kMinimoAtual)
                .arg(dataHora(m_report.last.last().start))
                .arg(m_report.last.last().right)
                .arg(acertos.points.size())
                .arg(fixas.points.size());
    }
    Grafico->setAccessibleDescription(resumo);
}

void TFormDesempenho::BBTreinarClick()
{
    if (m_report.weakest >= 0 && m_treinar)
        m_treinar(m_report.weakest);
}
