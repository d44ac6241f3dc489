// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The performance window read from a known history: the share of each subject over every exam and
// over the last five, the chart of the last exams, and the weakest subject with the button that
// drills it; the weakest subject's rule on its own.

#include "study/formdesempenho.h"
#include "study/formestudo.h"
#include "study/formprovaatual.h"
#include "study/formprovasanteriores.h"
#include "study/formtreino.h"
#include "study/history.h"
#include "study/progress.h"
#include "study/subjects.h"

#include "exam/formrevisao.h"
#include "exam/questionbank.h"

#include "fakes.h"
#include "windowdriver.h"

#include "exam/questionbank.h"
#include "study/readiness.h"
#include "study/todayexam.h"

#include "study/reviews.h"

#include <QChartView>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

namespace {
// The chart a chart view of the window draws.
QChart *chartOf(QWidget *view)
{
    auto *chartView = qobject_cast<QChartView *>(view);
    return chartView ? chartView->chart() : nullptr;
}
} // namespace

namespace {
// An exam of type 6 or 10 (questions 1..30 of Legislação, or 201..230 of Sinalização) with the
// first `right` answers right, taken on day `day` of December 2026.
HistoryExam exam(int first, int right, int day)
{
    HistoryExam e;
    e.type = first == 1 ? 6 : 10;
    e.start = QDateTime(QDate(2026, 12, day), QTime(10, 0));
    e.end = e.start.addSecs(600);
    e.seconds = 600;
    for (int i = 0; i < 30; ++i)
        e.answers << HistoryAnswer{first + i, QStringLiteral("A"), i < right, QString(), -1};
    return e;
}
} // namespace

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void weakestSubject();
    void windowFromKnownHistory();
    void emptyHistory();
    void studyWindowEntriesAndExport();
    void pastExamsReviewedAndDeleted();
    void studyWindowCopyAndRestore();
    void studySettingsDialog();
};

void TestProgress::weakestSubject()
{
    QList<SubjectTotal> recent(Subjects::kCount), all(Subjects::kCount);
    QCOMPARE(Progress::weakest(recent, all), -1); // nothing answered
    recent[Subjects::Sinalizacao] = {6, 10};
    recent[Subjects::Legislacao] = {12, 20};
    all[Subjects::Sinalizacao] = {50, 100};
    all[Subjects::Legislacao] = {40, 100};
    // Equal recent shares (60 %): the lower share over all exams decides.
    QCOMPARE(Progress::weakest(recent, all), int(Subjects::Legislacao));
    // Three answers say nothing yet; ten do.
    recent[Subjects::PrimeirosSocorros] = {1, 3};
    QCOMPARE(Progress::weakest(recent, all), int(Subjects::Legislacao));
    recent[Subjects::PrimeirosSocorros] = {3, 10};
    QCOMPARE(Progress::weakest(recent, all), int(Subjects::PrimeirosSocorros));
    QCOMPARE(Progress::shareText({1, 3}), QStringLiteral("33% (1 de 3)"));
    QCOMPARE(Progress::shareText({}), QStringLiteral("—"));
}

void TestProgress::windowFromKnownHistory()
{
    TempProgramFolder folder;
    FakeClock clock(QDateTime(QDate(2026, 12, 20), QTime(9, 0)));
    // Legislação: 30, then 6 exams; the first Legislação exam falls out of the last five.
    QVERIFY(History::instance().store(exam(1, 30, 1)));
    QVERIFY(History::instance().store(exam(201, 15, 2)));
    QVERIFY(History::instance().store(exam(1, 24, 3)));
    QVERIFY(History::instance().store(exam(201, 21, 4)));
    QVERIFY(History::instance().store(exam(1, 18, 5)));
    QVERIFY(History::instance().store(exam(201, 27, 6)));

    TFormDesempenho window;
    int drilled = -2;
    window.setTreinar([&](int subject) { drilled = subject; });
    QVERIFY(showActive(&window));
    const auto cell = [&](int subject, int column) {
        return window.GridMaterias->item(subject, column)->text();
    };
    QCOMPARE(cell(Subjects::Legislacao, 0), QStringLiteral("Legislação"));
    QCOMPARE(cell(Subjects::Legislacao, 1), QStringLiteral("80% (72 de 90)"));
    QCOMPARE(cell(Subjects::Legislacao, 2), QStringLiteral("70% (42 de 60)"));
    QCOMPARE(cell(Subjects::Sinalizacao, 1), QStringLiteral("70% (63 de 90)"));
    QCOMPARE(cell(Subjects::Sinalizacao, 2), QStringLiteral("70% (63 de 90)"));
    QCOMPARE(cell(Subjects::PrimeirosSocorros, 1), QStringLiteral("—"));
    QVERIFY(window.LabelResumo->text().startsWith(
        QStringLiteral("6 provas feitas. A última, em 06/12/2026 10:00: 27 acertos em 30")));
    // 70 % in both over the last five; over all exams Sinalização is the lower.
    QVERIFY(window.LabelFraca->text().contains(QStringLiteral("Sinalização")));
    QCOMPARE(window.BBTreinar->text(), QStringLiteral("&Treinar Sinalização"));
    QTest::mouseClick(window.BBTreinar, Qt::LeftButton);
    QCOMPARE(drilled, int(Subjects::Sinalizacao));

    // Subjects never asked are named.
    QVERIFY(window.LabelFraca->text().contains(
        QStringLiteral("Ainda não caíram nas provas: Regras de Circulação")));
    // The chart: one point per exam, in time order, the fixed lists apart from drawn exams (none
    // here), and the line of today's minimum.
    const auto series = chartOf(window.Grafico)->series();
    QCOMPARE(series.size(), 3);
    QCOMPARE(qobject_cast<QXYSeries *>(series[0])->count(), 0);
    const auto *acertos = qobject_cast<QXYSeries *>(series[1]);
    QCOMPARE(acertos->count(), 6);
    QCOMPARE(acertos->at(0).y(), 30.0);
    QCOMPARE(acertos->at(5).y(), 27.0);
    QVERIFY(acertos->at(0).x() < acertos->at(5).x());
    QCOMPARE(qobject_cast<QLineSeries *>(series[2])->at(0).y(), 20.0);

    // A new exam shows when the window is opened again.
    window.close();
    QVERIFY(History::instance().store(exam(201, 6, 7)));
    QVERIFY(showActive(&window));
    QCOMPARE(cell(Subjects::Sinalizacao, 2), QStringLiteral("60% (54 de 90)"));
    QCOMPARE(qobject_cast<QXYSeries *>(chartOf(window.Grafico)->series()[1])->count(), 7);

    // The chance of passing: not with two subjects only; with answers in five, a number, its band,
    // and the subjects to study, each opening study by subject.
    QVERIFY2(window.LabelChance->text().startsWith(
                 QStringLiteral("Chance de aprovação: ainda não dá para avaliar")),
             qPrintable(window.LabelChance->text()));
    QVERIFY(!window.BBEstudar[0]->isVisible());
    const Readiness::Pools pools = TodayExam::pools(QuestionBank::instance());
    HistoryExam wide;
    wide.type = kTodayFormatType;
    wide.start = QDateTime(QDate(2026, 12, 19), QTime(10, 0));
    wide.end = wide.start.addSecs(1200);
    for (int subject : {Subjects::Circulacao, Subjects::DirecaoDefensiva, Subjects::MecanicaBasica}) {
        for (int k = 0; k < 10; ++k)
            wide.answers << HistoryAnswer{pools[static_cast<std::size_t>(subject)][k], QStringLiteral("A"),
                                          k < 7, QString(), -1};
    }
    QVERIFY(History::instance().store(wide));
    window.close();
    QVERIFY(showActive(&window));
    QVERIFY2(window.LabelChance->text().startsWith(
                 QStringLiteral("Chance de aprovação se a prova fosse hoje: <b>")),
             qPrintable(window.LabelChance->text()));
    QVERIFY(window.LabelChance->text().contains(QStringLiteral("(provavelmente entre ")));
    QVERIFY(window.BBEstudar[0]->isVisible());
    QVERIFY(window.BBEstudar[0]->text().startsWith(QStringLiteral("Estudar ")));
    QTest::mouseClick(window.BBEstudar[0], Qt::LeftButton);
    QCOMPARE(QStringLiteral("Estudar ") + Subjects::name(drilled), window.BBEstudar[0]->text());
    QCOMPARE(cell(Subjects::MecanicaBasica, 3),
             QStringLiteral("10 de %1").arg(pools[Subjects::MecanicaBasica].size()));
    QCOMPARE(cell(Subjects::PrimeirosSocorros, 3),
             QStringLiteral("nenhuma de %1").arg(pools[Subjects::PrimeirosSocorros].size()));
    // The course's modules: every question of the bank names one; a drawn exam's thirty questions
    // spread over them; what was seen of each, of how many.
    QVERIFY(window.GridModulos->isVisible());
    double naProva = 0.0;
    int vistas = 0;
    for (int m = 0; m < 4; ++m) {
        QVERIFY(window.GridModulos->item(m, 0)->text().startsWith(QStringLiteral("%1. ").arg(m + 1)));
        naProva += QLocale(QLocale::Portuguese, QLocale::Brazil)
                       .toDouble(window.GridModulos->item(m, 1)->text().section(QLatin1Char(' '), 0, 0));
        const QString visto = window.GridModulos->item(m, 2)->text();
        vistas +=
            visto.startsWith(QStringLiteral("nenhuma")) ? 0 : visto.section(QLatin1Char(' '), 0, 0).toInt();
        QVERIFY(window.GridModulos->item(m, 3)->text().endsWith(QLatin1Char('%')));
    }
    QVERIFY2(std::abs(naProva - 30.0) < 0.25, qPrintable(QString::number(naProva)));
    int vistasPorMateria = 0;
    for (int s = 0; s < Subjects::kCount; ++s)
        vistasPorMateria += cell(s, 3).startsWith(QStringLiteral("nenhuma"))
                                ? 0
                                : cell(s, 3).section(QLatin1Char(' '), 0, 0).toInt();
    QCOMPARE(vistas, vistasPorMateria);
    // The chance over the days: the days of study with enough answers (the 19th, and today from
    // the memory as it is now), each with its band; the days before, with two subjects, left out.
    const auto curva = chartOf(window.GraficoChance)->series();
    QCOMPARE(qobject_cast<QXYSeries *>(curva[1])->count(), 2);
    QVERIFY2(window.GraficoChance->accessibleDescription().startsWith(
                 QStringLiteral("Chance se a prova fosse no dia, em 2 dias de estudo: de ")),
             qPrintable(window.GraficoChance->accessibleDescription()));
    QVERIFY(window.GraficoChance->accessibleDescription().contains(QStringLiteral(" em 19/12 a ")));
    QVERIFY(window.GraficoChance->accessibleDescription().contains(
        QStringLiteral(" hoje (provavelmente entre ")));

    // Back to the front, still open, after an exam stored meanwhile: read again.
    QWidget other;
    QVERIFY(showActive(&other));
    QVERIFY(History::instance().store(exam(202, 6, 7)));
    QVERIFY(showActive(&window));
    QCOMPARE(qobject_cast<QXYSeries *>(chartOf(window.Grafico)->series()[1])->count(), 8);
    QCOMPARE(qobject_cast<QXYSeries *>(chartOf(window.Grafico)->series()[0])->count(), 1); // today's format
}

void TestProgress::emptyHistory()
{
    TempProgramFolder folder;
    TFormDesempenho window;
    window.setTreinar([](int) { QFAIL("no subject to drill"); });
    QVERIFY(showActive(&window));
    QVERIFY(window.LabelResumo->text().startsWith(QStringLiteral("Nenhuma prova guardada")));
    QVERIFY(!window.BBTreinar->isEnabled());
    QCOMPARE(qobject_cast<QLineSeries *>(chartOf(window.Grafico)->series()[0])->count(), 0);
    QCOMPARE(window.GraficoChance->accessibleDescription(),
             QStringLiteral("Ainda não dá para avaliar a chance em nenhum dia de estudo."));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

void TestProgress::studyWindowEntriesAndExport()
{
    TempProgramFolder folder;
    FakeDialogs dialogs;
    FakeClock clock(QDateTime(QDate(2026, 12, 20), QTime(9, 0)));
    TFormEstudo estudo;
    QVERIFY(showActive(&estudo));
    QCOMPARE(estudo.LabelHistorico->text(), QStringLiteral("Nenhuma prova guardada no histórico ainda."));
    QVERIFY(!estudo.BBExportar->isEnabled());
    // Exams stored while another window is in front show when the study window is back in front;
    // so does the performance window, one exam at a time.
    TFormDesempenho desempenho;
    QVERIFY(showActive(&desempenho));
    QVERIFY(History::instance().store(exam(201, 12, 2)));
    QVERIFY(showActive(&estudo));
    QCOMPARE(estudo.LabelHistorico->text(), QStringLiteral("1 prova guardada no histórico."));
    QVERIFY(estudo.BBExportar->isEnabled());
    QVERIFY(showActive(&desempenho));
    QVERIFY(
        desempenho.LabelResumo->text().startsWith(QStringLiteral("1 prova feita. A última, em 02/12/2026")));
    QVERIFY(History::instance().store(exam(1, 25, 3)));
    QVERIFY(showActive(&estudo));
    QCOMPARE(estudo.LabelHistorico->text(), QStringLiteral("2 provas guardadas no histórico."));
    desempenho.close();

    // Each entry opens its window; "Treinar" in the performance window drills the weakest subject.
    QTest::mouseClick(estudo.BBDesempenho, Qt::LeftButton);
    QVERIFY(estudo.desempenho()->isVisible());
    QTest::mouseClick(estudo.desempenho()->BBTreinar, Qt::LeftButton);
    QVERIFY(estudo.treino()->isVisible());
    QCOMPARE(estudo.treino()->assunto(), int(Subjects::Sinalizacao));
    estudo.treino()->close();
    QTest::mouseClick(estudo.BBErros, Qt::LeftButton);
    QCOMPARE(estudo.treino()->assunto(), -1);
    QTest::mouseClick(estudo.BBProvaAtual, Qt::LeftButton);
    QVERIFY(estudo.provaAtual()->isVisible());
    for (QWidget *w : {static_cast<QWidget *>(estudo.desempenho()), static_cast<QWidget *>(estudo.treino()),
                       static_cast<QWidget *>(estudo.provaAtual())})
        w->close();

    // The export writes where the person chose, says so, and does nothing when cancelled.
    QString suggested;
    QString chosen = folder.file(QStringLiteral("minhas provas.csv"));
    TFormEstudo::setEscolheArquivo([&](QWidget *, const QString &s) {
        suggested = s;
        return chosen;
    });
    QVERIFY(showActive(&estudo));
    QTest::mouseClick(estudo.BBExportar, Qt::LeftButton);
    QVERIFY(suggested.endsWith(QStringLiteral("/historico-quelvado-20261220.csv")));
    QByteArray csv;
    {
        QFile f(chosen);
        QVERIFY(f.open(QIODevice::ReadOnly));
        csv = f.readAll();
    }
    QVERIFY(csv.startsWith("\xEF\xBB\xBFprova;tipo;"));
    QCOMPARE(csv.count('\n'), 1 + 60);
    QCOMPARE(dialogs.boxes.size(), 1);
    QVERIFY(dialogs.boxes.first().text.contains(QStringLiteral("minhas provas.csv")));
    chosen.clear();
    QTest::mouseClick(estudo.BBExportar, Qt::LeftButton);
    QCOMPARE(dialogs.boxes.size(), 1);
    chosen = folder.file(QStringLiteral("não existe/provas.csv"));
    QTest::mouseClick(estudo.BBExportar, Qt::LeftButton);
    QCOMPARE(dialogs.boxes.size(), 2);
    QCOMPARE(dialogs.boxes.last().icon, Dialogs::Icon::Error);
    TFormEstudo::setEscolheArquivo(nullptr);
}

// "Provas anteriores": newest first, each exam's review as it was corrected (today's format with its
// own order of four alternatives, a position checked on the light, one never shown), and deleting
// after a question, one or several.
void TestProgress::pastExamsReviewedAndDeleted()
{
    TempProgramFolder folder;
    FakeDialogs dialogs;
    FakeClock clock(QDateTime(QDate(2026, 12, 20), QTime(9, 0)));
    const QuestionBank &bank = QuestionBank::instance();
    QVERIFY(History::instance().store(exam(201, 12, 2)));
    HistoryExam today = exam(1, 0, 3);
    today.type = kTodayFormatType;
    today.seconds = 3725;
    const int right1 = bank.string(QuestionKind::Answer, 1).toInt();
    const int other1 = right1 % 5 + 1;
    // Position 1 showed the right alternative as A and another as B; B was answered.
    today.answers[0].shown =
        QStringLiteral("%1%2%3%4").arg(right1).arg(other1).arg(other1 % 5 + 1).arg((other1 + 1) % 5 + 1);
    today.answers[0].given = QStringLiteral("B");
    today.answers[1].revealed = true;
    today.answers[1].given = QString(QChar(u'A' + bank.string(QuestionKind::Answer, 2).toInt() - 1));
    today.answers[29].seen = false;
    today.answers[29].given.clear();
    QVERIFY(History::instance().store(today));
    QVERIFY(History::instance().store(exam(1, 25, 4)));

    TFormEstudo estudo;
    QVERIFY(showActive(&estudo));
    QTest::mouseClick(estudo.BBProvasAnteriores, Qt::LeftButton);
    TFormProvasAnteriores *lista = estudo.provasAnteriores();
    QVERIFY(lista->isVisible());
    QTableWidget *grid = lista->GridProvas;
    QCOMPARE(grid->rowCount(), 3);
    const auto row = [grid](int r) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << grid->item(r, c)->text();
        return cells.join(QLatin1Char('|'));
    };
    QCOMPARE(row(0), QStringLiteral("04/12/2026 10:00|7 - Legislação|0:10:00|25 de 30"));
    QCOMPARE(row(1), QStringLiteral("03/12/2026 10:00|Prova no formato atual|1:02:05|0 de 29"));
    QCOMPARE(row(2), QStringLiteral("02/12/2026 10:00|11 - Sinalização|0:10:00|12 de 30"));

    // Enter on the second row opens its review.
    QVERIFY(showActive(lista));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Return);
    TFormRevisao *r = lista->revisao();
    QVERIFY(r && r->isVisible());
    QCOMPARE(r->prova().size(), 30);
    QCOMPARE(r->LabelSituacao->text(), QStringLiteral("✘ Errada: sua resposta foi B, a certa é A"));
    QVERIFY(r->LabelAlternativas[0]->text().contains(bank.string(QuestionKind::AlternativeA + right1 - 1)));
    QVERIFY(!r->LabelAlternativas[4]->isVisible());
    r->MostraPosicao(2);
    QVERIFY(r->LabelSituacao->text().endsWith(QStringLiteral("(conferida no semáforo)")));
    r->MostraPosicao(30);
    QVERIFY(r->LabelSituacao->text().startsWith(QStringLiteral("Não exibida")));
    QTextDocument printed;
    r->MontaImpressao(printed);
    QVERIFY(printed.toPlainText().contains(QStringLiteral("Prova no formato atual, 03/12/2026 10:00")));
    r->close();

    // Delete asks first; "Não" keeps the exam.
    QVERIFY(showActive(lista));
    grid->setFocus();
    dialogs.answer({false});
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(dialogs.boxes.size(), 1);
    QVERIFY(dialogs.boxes.last().question);
    QVERIFY(dialogs.boxes.last().text.contains(QStringLiteral("03/12/2026 10:00 (Prova no formato atual)")));
    QCOMPARE(History::instance().summaries().size(), 3);
    // Two selected, "Sim": both go, with their answers; the one left is still there whole.
    grid->selectRow(0);
    grid->setCurrentCell(1, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    dialogs.answer({true});
    QTest::mouseClick(lista->BBExcluir, Qt::LeftButton);
    QVERIFY(dialogs.boxes.last().text.contains(QStringLiteral("as 2 provas selecionadas")));
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(row(0), QStringLiteral("02/12/2026 10:00|11 - Sinalização|0:10:00|12 de 30"));
    const QList<HistoryExam> left = History::instance().exams();
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first().answers.size(), 30);
    QCOMPARE(History::instance().subjectTotals()[Subjects::Legislacao].total, 0);
    QCOMPARE(dialogs.boxes.size(), 2);
}

// "Fazer cópia do histórico..." writes the copy where the person chose; after more exams,
// "Restaurar cópia..." asks, puts the copy back and says where the history of before went.
void TestProgress::studyWindowCopyAndRestore()
{
    TempProgramFolder folder;
    FakeDialogs dialogs;
    FakeClock clock(QDateTime(QDate(2026, 12, 20), QTime(9, 0)));
    QVERIFY(History::instance().store(exam(201, 12, 2)));
    TFormEstudo estudo;
    QVERIFY(showActive(&estudo));
    const QString copy = folder.file(QStringLiteral("minha cópia.sqlite"));
    QString suggested;
    bool opening = true;
    TFormEstudo::setEscolheCopia([&](QWidget *, const QString &s, bool abrir) {
        suggested = s;
        opening = abrir;
        return copy;
    });
    QTest::mouseClick(estudo.BBCopia, Qt::LeftButton);
    QVERIFY(!opening);
    QVERIFY(suggested.endsWith(QStringLiteral("/copia-historico-quelvado-20261220.sqlite")));
    QVERIFY(QFileInfo::exists(copy));
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes.last().icon, Dialogs::Icon::Information);
    QVERIFY(dialogs.boxes.last().text.contains(QStringLiteral("minha cópia.sqlite")));

    QVERIFY(History::instance().store(exam(1, 25, 3)));
    // Answered "Não": nothing changes.
    dialogs.answer({false, true});
    QTest::mouseClick(estudo.BBRestaurar, Qt::LeftButton);
    QVERIFY(opening);
    QCOMPARE(
        dialogs.boxes.last().text,
        QStringLiteral("Pôr a cópia %1 no lugar do histórico de estudo? O histórico de agora (2 provas) será "
                       "guardado à parte.")
            .arg(copy));
    QCOMPARE(History::instance().summaries().size(), 2);
    QTest::mouseClick(estudo.BBRestaurar, Qt::LeftButton);
    QCOMPARE(dialogs.boxes.last().text,
             QStringLiteral("A cópia foi restaurada: 1 prova. O histórico de antes foi "
                            "guardado como historico.sqlite.antes-da-copia-20261220-090000."));
    QCOMPARE(estudo.LabelHistorico->text(), QStringLiteral("1 prova guardada no histórico."));
    TFormEstudo::setEscolheCopia(nullptr);
}

// "Ajustes do estudo": the exam date and the daily numbers, set with the keyboard, kept, shown again
// when the dialog opens; Esc leaves them as they were.
void TestProgress::studySettingsDialog()
{
    TempProgramFolder folder;
    FakeDialogs dialogs;
    FakeClock clock(QDateTime(QDate(2026, 12, 20), QTime(9, 0)));
    const QDate today(2026, 12, 20);
    TFormEstudo estudo;
    QVERIFY(showActive(&estudo));
    // Runs drive on the dialog once it is open and in front (it runs its own event loop meanwhile).
    const auto whenOpen = [&](const std::function<void(QDialog *)> &drive) {
        auto *poll = new QTimer(&estudo);
        connect(poll, &QTimer::timeout, &estudo, [poll, drive] {
            auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!d || d->objectName() != QLatin1String("FormAjustesEstudo") || !d->isVisible())
                return;
            poll->deleteLater();
            poll->stop();
            QApplication::setActiveWindow(d);
            drive(d);
        });
        poll->start(10);
    };

    bool seen = false;
    whenOpen([&](QDialog *d) {
        seen = true;
        QVERIFY(!d->findChild<QCheckBox *>(QStringLiteral("CheckDataProva"))->isChecked());
        QVERIFY(!d->findChild<QDateEdit *>(QStringLiteral("EditDataProva"))->isEnabled());
        QCOMPARE(d->findChild<QSpinBox *>(QStringLiteral("SpinRevisoes"))->value(), 60);
        QCOMPARE(d->findChild<QSpinBox *>(QStringLiteral("SpinNovas"))->value(), 20);
        QTest::keyClick(d, Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(d->findChild<QDateEdit *>(QStringLiteral("EditDataProva"))->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), d->findChild<QDateEdit *>(QStringLiteral("EditDataProva")));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("15/01/2027"));
        QTest::keyClick(d, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), d->findChild<QSpinBox *>(QStringLiteral("SpinRevisoes")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("40"));
        QTest::keyClick(d, Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), d->findChild<QSpinBox *>(QStringLiteral("SpinNovas")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("10"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QTest::keyClick(&estudo, Qt::Key_J, Qt::AltModifier);
    QTRY_VERIFY(seen);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(Reviews::limits().reviews, 40);
    QCOMPARE(Reviews::limits().fresh, 10);
    QCOMPARE(Reviews::examDate(today), std::optional(QDate(2027, 1, 15)));

    // Shown again as kept; Esc changes nothing.
    seen = false;
    whenOpen([&](QDialog *d) {
        seen = true;
        QVERIFY(d->findChild<QCheckBox *>(QStringLiteral("CheckDataProva"))->isChecked());
        QCOMPARE(d->findChild<QDateEdit *>(QStringLiteral("EditDataProva"))->date(), QDate(2027, 1, 15));
        QCOMPARE(d->findChild<QSpinBox *>(QStringLiteral("SpinRevisoes"))->value(), 40);
        QTest::keyClick(d, Qt::Key_R, Qt::AltModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("9"));
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QVERIFY(showActive(&estudo));
    QTest::keyClick(&estudo, Qt::Key_J, Qt::AltModifier);
    QTRY_VERIFY(seen);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(Reviews::limits().reviews, 40);
    QCOMPARE(Reviews::examDate(today), std::optional(QDate(2027, 1, 15)));
}

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
