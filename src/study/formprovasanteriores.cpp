// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formprovasanteriores.h"

#include "history.h"
#include "studyhistory.h"
#include "studywindow.h"

#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/windowkit.h"
#include "exam/examtypes.h"
#include "exam/formrevisao.h"
#include "exam/questionbank.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
enum Column { Data, Tipo, Tempo, Acertos, Columns };

QTableWidgetItem *celula(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QString tempo(int seconds)
{
    seconds = std::max(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// "27 de 30"; an exam ended before its last questions counts only those shown.
QString acertos(const HistorySummary &s)
{
    return QStringLiteral("%1 de %2").arg(s.right).arg(s.total);
}
} // namespace

TFormProvasAnteriores::TFormProvasAnteriores(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormProvasAnteriores"));
    WindowKit::onEscape(this, [this] { close(); });
    StudyWindow::refreshWhenHistoryChanges(this, &m_revisao, [this] { refresh(); });
    setWindowTitle(QStringLiteral("Provas anteriores"));
    setFont(WindowKit::font(12, false));
    setMinimumSize(420, 300);
    resize(640, 480);

    LabelResumo = WindowKit::make<QLabel>(this, "LabelResumo");
    LabelResumo->setWordWrap(true);

    GridProvas = WindowKit::make<QTableWidget>(this, "GridProvas");
    GridProvas->setColumnCount(Columns);
    GridProvas->setHorizontalHeaderLabels({QStringLiteral("Data"), QStringLiteral("Prova"),
                                           QStringLiteral("Tempo"), QStringLiteral("Acertos")});
    GridProvas->verticalHeader()->hide();
    GridProvas->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    GridProvas->horizontalHeader()->setSectionResizeMode(Tipo, QHeaderView::Stretch);
    GridProvas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridProvas->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridProvas->setSelectionMode(QAbstractItemView::ExtendedSelection);
    GridProvas->setTabKeyNavigation(false);
    GridProvas->setAccessibleName(QStringLiteral("Provas guardadas"));
    Hints::set(GridProvas, QStringLiteral("Enter abre a revisão da prova; Delete exclui as selecionadas"));

    BBRevisar = WindowKit::button(this, "BBRevisar", QRect(), QStringLiteral("&Revisar"));
    Hints::set(BBRevisar,
               QStringLiteral("Rever cada questão da prova com a sua resposta, a certa e a explicação"));
    BBImprimir = WindowKit::button(this, "BBImprimir", QRect(), QStringLiteral("&Imprimir..."));
    Hints::set(BBImprimir, QStringLiteral("Imprimir ou salvar em PDF a revisão da prova"));
    BBExcluir = WindowKit::button(this, "BBExcluir", QRect(), QStringLiteral("E&xcluir..."));
    Hints::set(BBExcluir, QStringLiteral("Apagar do histórico as provas selecionadas"));
    BBFechar = WindowKit::button(this, "BBFechar", QRect(), QStringLiteral("&Fechar"));

    connect(BBRevisar, &QPushButton::clicked, this, guard([this] { BBRevisarClick(); }));
    connect(BBImprimir, &QPushButton::clicked, this, guard([this] { BBImprimirClick(); }));
    connect(BBExcluir, &QPushButton::clicked, this, guard([this] { BBExcluirClick(); }));
    connect(BBFechar, &QPushButton::clicked, this, &QWidget::close);
    connect(GridProvas, &QTableWidget::cellDoubleClicked, this, guard([this] { BBRevisarClick(); }));
    connect(GridProvas, &QTableWidget::itemSelectionChanged, this, guard([this] { atualizaBotoes(); }));
    WindowKit::onKey(
        GridProvas,
        [](const QKeyEvent &key) {
            return key.modifiers() == Qt::NoModifier || key.modifiers() == Qt::KeypadModifier
                       ? key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter
                       : false;
        },
        [this] { BBRevisarClick(); });
    WindowKit::onKey(
        GridProvas,
        [](const QKeyEvent &key) { return key.key() == Qt::Key_Delete && key.modifiers() == Qt::NoModifier; },
        [this] { BBExcluirClick(); });

    auto *botoes = new QHBoxLayout;
    for (QPushButton *b : {BBRevisar, BBImprimir, BBExcluir})
        botoes->addWidget(b);
    botoes->addStretch(1);
    botoes->addWidget(BBFechar);
    // The content scrolls when the window is smaller than it (a small screen, large text).
    auto *layout = new QVBoxLayout(WindowKit::scrollingContent(this));
    layout->addWidget(LabelResumo);
    layout->addWidget(GridProvas, 1);
    layout->addLayout(botoes);
    atualizaBotoes();
}

TFormProvasAnteriores::~TFormProvasAnteriores() = default;

void TFormProvasAnteriores::showEvent(QShowEvent *event)
{
    refresh();
    QWidget::showEvent(event);
    GridProvas->setFocus(Qt::OtherFocusReason);
}

void TFormProvasAnteriores::refresh()
{
    m_revisao = History::revision();
    History &history = StudyHistory::get();
    QList<HistorySummary> provas = history.isOpen() ? history.summaries() : QList<HistorySummary>();
    std::reverse(provas.begin(), provas.end()); // newest first
    const qint64 atual = GridProvas->currentRow() >= 0 ? m_ids.value(GridProvas->currentRow()) : 0;
    m_ids.clear();
    GridProvas->clearContents();
    GridProvas->setRowCount(int(provas.size()));
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    int linhaAtual = provas.isEmpty() ? -1 : 0;
    for (int row = 0; row < provas.size(); ++row) {
        const HistorySummary &s = provas[row];
        m_ids << s.id;
        if (s.id == atual)
            linhaAtual = row;
        GridProvas->setItem(
            row, Data, celula(brasil.toString(s.start, QStringLiteral("dd/MM/yyyy HH:mm")), Qt::AlignLeft));
        QString tipo = ExamTypes::name(s.type);
        GridProvas->setItem(
            row, Tipo, celula(tipo.isEmpty() ? QStringLiteral("Tipo %1").arg(s.type) : tipo, Qt::AlignLeft));
        GridProvas->setItem(row, Tempo, celula(tempo(s.seconds), Qt::AlignRight));
        GridProvas->setItem(row, Acertos, celula(acertos(s), Qt::AlignRight));
    }
    if (linhaAtual >= 0)
        GridProvas->setCurrentCell(linhaAtual, 0);
    if (!history.isOpen())
        LabelResumo->setText(QStringLiteral("O histórico de estudo não está disponível."));
    else if (provas.isEmpty())
        LabelResumo->setText(QStringLiteral("Nenhuma prova guardada no histórico ainda."));
    else
        LabelResumo->setText(QStringLiteral("%1 %2, a mais recente primeiro.")
                                 .arg(provas.size())
                                 .arg(provas.size() == 1 ? QStringLiteral("prova guardada")
                                                         : QStringLiteral("provas guardadas")));
    atualizaBotoes();
}

void TFormProvasAnteriores::atualizaBotoes()
{
    const bool atual = GridProvas->currentRow() >= 0 && GridProvas->currentRow() < m_ids.size();
    BBRevisar->setEnabled(atual);
    BBImprimir->setEnabled(atual);
    BBExcluir->setEnabled(!linhasSelecionadas().isEmpty());
}

QList<int> TFormProvasAnteriores::linhasSelecionadas() const
{
    QList<int> rows;
    for (const QModelIndex &index : GridProvas->selectionModel()->selectedRows())
        if (index.row() < m_ids.size())
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

TFormRevisao *TFormProvasAnteriores::preparaRevisao()
{
    const int row = GridProvas->currentRow();
    if (row < 0 || row >= m_ids.size())
        return nullptr;
    const HistoryExam exam = StudyHistory::get().exam(m_ids[row]);
    if (exam.id == 0) {
        Dialogs::error(QStringLiteral("A prova não pôde ser lida do histórico."));
        return nullptr;
    }
    if (!m_revisaoJanela)
        m_revisaoJanela = new TFormRevisao(this);
    m_revisaoJanela->setProva(StudyHistory::reviewOf(exam, QuestionBank::instance()),
                              TFormRevisao::descricao(exam.type, exam.start));
    return m_revisaoJanela;
}

void TFormProvasAnteriores::BBRevisarClick()
{
    if (TFormRevisao *r = preparaRevisao())
        WindowKit::showInFront(r);
}

void TFormProvasAnteriores::BBImprimirClick()
{
    if (TFormRevisao *r = preparaRevisao())
        r->BBImprimirClick();
}

void TFormProvasAnteriores::BBExcluirClick()
{
    const QList<int> rows = linhasSelecionadas();
    if (rows.isEmpty())
        return;
    const QString quais = rows.size() == 1 ? QStringLiteral("a prova de %1 (%2)")
                                                 .arg(GridProvas->item(rows.first(), Data)->text(),
                                                      GridProvas->item(rows.first(), Tipo)->text())
                                           : QStringLiteral("as %1 provas selecionadas").arg(rows.size());
    if (!Dialogs::question(QStringLiteral("Excluir do histórico %1? As respostas dela%2 deixam de contar no "
                                          "desempenho e no estudo dos erros. Isso não pode ser desfeito.")
                               .arg(quais, rows.size() == 1 ? QString() : QStringLiteral("s"))))
        return;
    QList<qint64> ids;
    for (int row : rows)
        ids << m_ids[row];
    if (m_revisaoJanela)
        m_revisaoJanela->close();
    if (!StudyHistory::get().remove(ids)) {
        const QString problema = History::instance().problem();
        Dialogs::error(QStringLiteral("As provas não puderam ser excluídas do histórico.") +
                       (problema.isEmpty() ? QString() : QStringLiteral("\r") + problema));
    }
    refresh();
}
