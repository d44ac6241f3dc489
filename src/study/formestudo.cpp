// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formestudo.h"

#include "formdesempenho.h"
#include "formprovaatual.h"
#include "formprovasanteriores.h"
#include "formtreino.h"
#include "history.h"
#include "reviews.h"
#include "studyhistory.h"
#include "studywindow.h"

#include "common/clock.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/windowkit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <memory>

namespace {
QString escolhePorDialogo(QWidget *parent, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Exportar histórico"), suggested,
                                        QStringLiteral("Planilha CSV (*.csv)"));
}
TFormEstudo::EscolheArquivo escolheArquivo = escolhePorDialogo;

const QString kFiltroCopia = QStringLiteral("Cópia do histórico (*.sqlite);;Todos os arquivos (*)");
QString escolheCopiaPorDialogo(QWidget *parent, const QString &suggested, bool abrir)
{
    return abrir ? QFileDialog::getOpenFileName(parent, QStringLiteral("Restaurar cópia"), suggested,
                                                kFiltroCopia)
                 : QFileDialog::getSaveFileName(parent, QStringLiteral("Fazer cópia do histórico"), suggested,
                                                kFiltroCopia);
}
TFormEstudo::EscolheCopia escolheCopia = escolheCopiaPorDialogo;

QString pastaDocumentos()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder.isEmpty() ? QDir::homePath() : folder;
}
} // namespace

TFormEstudo::TFormEstudo(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormEstudo"));
    WindowKit::onEscape(this, [this] { close(); });
    // Back to the window after an exam: the count and the export follow the history.
    StudyWindow::refreshWhenHistoryChanges(this, &m_revisao, [this] { refresh(); });
    setWindowTitle(QStringLiteral("Estudo"));
    setFont(WindowKit::font(13, false));

    LabelHistorico = WindowKit::make<QLabel>(this, "LabelHistorico");
    LabelHistorico->setWordWrap(true);

    const auto entrada = [this](const char *name, const QString &caption, const QString &hint) {
        QPushButton *b = WindowKit::button(this, name, QRect(), caption);
        b->setMinimumHeight(40);
        b->setFont(WindowKit::font(14, true));
        Hints::set(b, hint);
        return b;
    };
    BBDesempenho =
        entrada("BBDesempenho", QStringLiteral("&Desempenho"),
                QStringLiteral("Acertos por matéria, gráfico das últimas provas e a matéria mais fraca"));
    BBErros =
        entrada("BBErros", QStringLiteral("Re&visões de hoje"),
                QStringLiteral("As questões que a memória pede rever hoje, as mais esquecidas primeiro"));
    BBAssunto =
        entrada("BBAssunto", QStringLiteral("Estudar por a&ssunto"),
                QStringLiteral("As questões ainda não vistas de uma matéria, uma a uma, e depois as suas "
                               "revisões"));
    BBAjustes = WindowKit::button(this, "BBAjustes", QRect(), QStringLiteral("A&justes do estudo..."));
    Hints::set(BBAjustes, QStringLiteral("Data da prova e quantas revisões e questões novas por dia"));
    BBProvaAtual =
        entrada("BBProvaAtual", QStringLiteral("Prova no formato &atual"),
                QStringLiteral("30 questões de 4 alternativas, com tempo marcado; aprovado com 20 acertos"));
    BBProvasAnteriores = entrada("BBProvasAnteriores", QStringLiteral("&Provas anteriores"),
                                 QStringLiteral("As provas guardadas: rever, imprimir ou excluir cada uma"));
    BBExportar = WindowKit::button(this, "BBExportar", QRect(), QStringLiteral("E&xportar histórico..."));
    Hints::set(BBExportar,
               QStringLiteral("Grava todas as provas guardadas num arquivo CSV, para abrir numa planilha"));
    // The copy of the history, in a row of its own below the export.
    BBCopia = WindowKit::button(this, "BBCopia", QRect(), QStringLiteral("Fazer &cópia do histórico..."));
    Hints::set(BBCopia,
               QStringLiteral("Grava uma cópia de todo o histórico num arquivo, para guardar ou levar a "
                              "outro computador"));
    BBRestaurar = WindowKit::button(this, "BBRestaurar", QRect(), QStringLiteral("&Restaurar cópia..."));
    Hints::set(BBRestaurar,
               QStringLiteral("Põe uma cópia feita antes no lugar do histórico; o histórico de agora "
                              "é guardado à parte"));
    BBFechar = WindowKit::button(this, "BBFechar", QRect(), QStringLiteral("&Fechar"));

    connect(BBDesempenho, &QPushButton::clicked, this, guard([this] { BBDesempenhoClick(); }));
    connect(BBErros, &QPushButton::clicked, this, guard([this] { BBErrosClick(); }));
    connect(BBAssunto, &QPushButton::clicked, this, guard([this] { BBAssuntoClick(); }));
    connect(BBAjustes, &QPushButton::clicked, this, guard([this] { BBAjustesClick(); }));
    connect(BBProvaAtual, &QPushButton::clicked, this, guard([this] { BBProvaAtualClick(); }));
    connect(BBProvasAnteriores, &QPushButton::clicked, this, guard([this] { BBProvasAnterioresClick(); }));
    connect(BBExportar, &QPushButton::clicked, this, guard([this] { BBExportarClick(); }));
    connect(BBCopia, &QPushButton::clicked, this, guard([this] { BBCopiaClick(); }));
    connect(BBRestaurar, &QPushButton::clicked, this, guard([this] { BBRestaurarClick(); }));
    connect(BBFechar, &QPushButton::clicked, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->addWidget(BBDesempenho);
    layout->addWidget(BBErros);
    layout->addWidget(BBAssunto);
    layout->addWidget(BBProvaAtual);
    layout->addWidget(BBProvasAnteriores);
    layout->addSpacing(6);
    layout->addWidget(LabelHistorico);
    layout->addWidget(BBExportar);
    auto *copias = new QHBoxLayout;
    copias->setSpacing(8);
    copias->addWidget(BBCopia);
    copias->addWidget(BBRestaurar);
    layout->addLayout(copias);
    layout->addWidget(BBAjustes);
    layout->addSpacing(6);
    layout->addWidget(BBFechar, 0, Qt::AlignRight);
    setMinimumWidth(340);
}

TFormEstudo::~TFormEstudo() = default;

void TFormEstudo::setEscolheCopia(EscolheCopia choose)
{
    escolheCopia = choose ? std::move(choose) : escolheCopiaPorDialogo;
}

void TFormEstudo::setEscolheArquivo(EscolheArquivo choose)
{
    escolheArquivo = choose ? std::move(choose) : escolhePorDialogo;
}

void TFormEstudo::showEvent(QShowEvent *event)
{
    refresh();
    QWidget::showEvent(event);
}

void TFormEstudo::refresh()
{
    m_revisao = History::revision();
    History &history = StudyHistory::get();
    const int exams = history.isOpen() ? int(history.summaries().size()) : 0;
    if (!history.isOpen())
        LabelHistorico->setText(QStringLiteral("O histórico de estudo não está disponível."));
    else if (exams == 0)
        LabelHistorico->setText(QStringLiteral("Nenhuma prova guardada no histórico ainda."));
    else
        LabelHistorico->setText(
            QStringLiteral("%1 %2 no histórico.")
                .arg(exams)
                .arg(exams == 1 ? QStringLiteral("prova guardada") : QStringLiteral("provas guardadas")));
    BBExportar->setEnabled(exams > 0);
    BBCopia->setEnabled(history.isOpen());
}

TFormDesempenho *TFormEstudo::desempenho()
{
    if (!m_desempenho) {
        m_desempenho = new TFormDesempenho(this);
        m_desempenho->setTreinar([this](int subject) { BBAssuntoClick(subject); });
    }
    return m_desempenho;
}

TFormTreino *TFormEstudo::treino()
{
    if (!m_treino)
        m_treino = new TFormTreino(-1, this);
    return m_treino;
}

TFormProvaAtual *TFormEstudo::provaAtual()
{
    if (!m_provaAtual) {
        m_provaAtual = new TFormProvaAtual(this);
        m_provaAtual->setEstudarErros([this] { BBErrosClick(); });
    }
    return m_provaAtual;
}

TFormProvasAnteriores *TFormEstudo::provasAnteriores()
{
    if (!m_provasAnteriores)
        m_provasAnteriores = new TFormProvasAnteriores(this);
    return m_provasAnteriores;
}

void TFormEstudo::BBProvasAnterioresClick()
{
    WindowKit::showInFront(provasAnteriores());
}

void TFormEstudo::BBDesempenhoClick()
{
    WindowKit::showInFront(desempenho());
}

void TFormEstudo::BBErrosClick(int subject)
{
    TFormTreino *t = treino();
    t->Abre(subject);
    WindowKit::showInFront(t);
}

void TFormEstudo::BBAssuntoClick(int subject)
{
    TFormTreino *t = treino();
    t->Abre(subject, TFormTreino::Modo::Assunto);
    WindowKit::showInFront(t);
}

void TFormEstudo::BBAjustesClick()
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("FormAjustesEstudo"));
    dialog.setWindowTitle(QStringLiteral("Ajustes do estudo"));
    const QDate today = Clock::current().localNow().date();
    const std::optional<QDate> exam = Reviews::examDate(today);
    auto *temData = WindowKit::make<QCheckBox>(&dialog, "CheckDataProva");
    temData->setText(QStringLiteral("&Data da prova marcada:"));
    temData->setChecked(exam.has_value());
    auto *dataProva = WindowKit::make<QDateEdit>(&dialog, "EditDataProva");
    dataProva->setCalendarPopup(true);
    dataProva->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dataProva->setMinimumDate(today);
    dataProva->setDate(exam.value_or(today.addDays(30)));
    dataProva->setEnabled(exam.has_value());
    dataProva->setAccessibleName(QStringLiteral("Data da prova"));
    connect(temData, &QCheckBox::toggled, dataProva, &QWidget::setEnabled);
    const Reviews::Limits limits = Reviews::limits();
    auto *revisoes = WindowKit::make<QSpinBox>(&dialog, "SpinRevisoes");
    revisoes->setRange(0, Reviews::kMaxPerDay);
    revisoes->setValue(limits.reviews);
    auto *novas = WindowKit::make<QSpinBox>(&dialog, "SpinNovas");
    novas->setRange(0, Reviews::kMaxPerDay);
    novas->setValue(limits.fresh);
    auto *form = new QFormLayout;
    form->addRow(temData, dataProva);
    auto *labelRevisoes = new QLabel(QStringLiteral("&Revisões por dia:"), &dialog);
    labelRevisoes->setBuddy(revisoes);
    form->addRow(labelRevisoes, revisoes);
    auto *labelNovas = new QLabel(QStringLiteral("Questões &novas por dia:"), &dialog);
    labelNovas->setBuddy(novas);
    form->addRow(labelNovas, novas);
    auto *nota = new QLabel(QStringLiteral("Com a data marcada, as revisões que vencerem antes dela são "
                                           "distribuídas pelos dias que faltam, mesmo acima do limite."),
                            &dialog);
    nota->setWordWrap(true);
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(botoes, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(botoes, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(nota);
    layout->addWidget(botoes);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool ok =
        Reviews::setLimits({revisoes->value(), novas->value()}) &&
        Reviews::setExamDate(temData->isChecked() ? std::optional(dataProva->date()) : std::nullopt);
    if (!ok)
        Dialogs::error(QStringLiteral("Os ajustes não puderam ser gravados no arquivo de configuração."));
}

void TFormEstudo::BBProvaAtualClick()
{
    WindowKit::showInFront(provaAtual());
}

void TFormEstudo::BBExportarClick()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder.isEmpty() ? QDir::homePath() : folder)
                                  .filePath(QStringLiteral("historico-quelvado-") +
                                            Clock::current().localNow().toString(QStringLiteral("yyyyMMdd")) +
                                            QStringLiteral(".csv"));
    const QString file = escolheArquivo(this, suggested);
    if (file.isEmpty())
        return;
    History &history = StudyHistory::get();
    if (!history.isOpen()) {
        Dialogs::error(QStringLiteral("O histórico de estudo não está disponível."));
        return;
    }
    // One export at a time: the window answers while it runs.
    static bool exportando = false;
    if (exportando)
        return;
    exportando = true;
    const auto fim = qScopeGuard([] { exportando = false; });
    // Written on a thread of its own, through a connection of its own, while the window goes on
    // answering; a progress box shows when it takes long, and may cancel it.
    std::atomic<bool> cancel{false};
    std::atomic<qint64> done{0}, total{0};
    QString error;
    bool written = false;
    const QString path = history.path();
    std::unique_ptr<QThread> worker(QThread::create([&] {
        written = History::exportCsv(path, file, &error, [&](qint64 d, qint64 t) {
            done = d;
            total = t;
            return !cancel.load();
        });
    }));
    QProgressDialog progress(QStringLiteral("Exportando o histórico..."), QStringLiteral("Cancelar"), 0, 1000,
                             this);
    progress.setObjectName(QStringLiteral("ProgressoExportacao"));
    progress.setWindowTitle(QStringLiteral("Exportar histórico"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (total.load() > 0)
            progress.setValue(int(1000 * done.load() / total.load()));
        if (progress.wasCanceled())
            cancel = true;
    });
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    poll.start();
    loop.exec();
    worker->wait();
    poll.stop();
    progress.close();
    if (written)
        Dialogs::information(
            QStringLiteral("Histórico exportado para %1 (as respostas do treino, para %2).")
                .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(History::drillCsvName(file))));
    else if (!error.isEmpty() || !cancel)
        Dialogs::error(error.isEmpty() ? QStringLiteral("Não foi possível exportar o histórico.") : error);
}

void TFormEstudo::BBCopiaClick()
{
    const QString suggested = QDir(pastaDocumentos())
                                  .filePath(QStringLiteral("copia-historico-quelvado-") +
                                            Clock::current().localNow().toString(QStringLiteral("yyyyMMdd")) +
                                            QStringLiteral(".sqlite"));
    const QString file = escolheCopia(this, suggested, false);
    if (file.isEmpty())
        return;
    QString error;
    if (StudyHistory::get().backupTo(file, &error))
        Dialogs::information(
            QStringLiteral("Cópia do histórico gravada em %1. Para usá-la em outro computador, "
                           "copie esse arquivo e, lá, use \"Restaurar cópia...\".")
                .arg(QDir::toNativeSeparators(file)));
    else
        Dialogs::error(error);
}

void TFormEstudo::BBRestaurarClick()
{
    const QString file = escolheCopia(this, pastaDocumentos(), true);
    if (file.isEmpty())
        return;
    History &history = StudyHistory::get();
    const int exams = history.isOpen() ? int(history.summaries().size()) : 0;
    const QString agora =
        exams == 0   ? QString()
        : exams == 1 ? QStringLiteral(" O histórico de agora (1 prova) será guardado à parte.")
                     : QStringLiteral(" O histórico de agora (%1 provas) será guardado à parte.").arg(exams);
    if (!Dialogs::question(QStringLiteral("Pôr a cópia %1 no lugar do histórico de estudo?")
                               .arg(QDir::toNativeSeparators(file)) +
                           agora))
        return;
    QString message;
    if (history.restoreFrom(file, &message))
        Dialogs::information(message);
    else
        Dialogs::error(message);
    refresh();
}
