// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The drill of one's own mistakes: the schedule worked out from hand-made exams and drill answers
// (boxes and their waits, leaving after rights on two different days, a wrong answer starting
// over, the subject limit, coming back after a later exam); and the window as a candidate uses
// it, over an exam stored in a history of its own.

#include "study/drill.h"
#include "study/formtreino.h"
#include "study/history.h"
#include "study/subjects.h"

#include "codereader/articleindex.h"
#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "exam/questionbank.h"

#include "fakes.h"
#include "windowdriver.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {
const QDate kDay(2026, 12, 7);

QDateTime at(const QDate &day, int hour = 10)
{
    return QDateTime(day, QTime(hour, 0, 0));
}

// An exam ended at the given moment with the given numbers wrong (and 100 right).
HistoryExam exam(const QDateTime &end, const QList<int> &wrong, int subject = -1)
{
    HistoryExam e;
    e.type = 1;
    e.start = end.addSecs(-1800);
    e.end = end;
    e.answers.append({100, QStringLiteral("A"), true, QString(), Subjects::of(100)});
    for (int n : wrong)
        e.answers.append(
            {n, QStringLiteral("B"), false, QString(), subject >= 0 ? subject : Subjects::of(n)});
    return e;
}

DrillAnswer drilled(int number, const QDateTime &when, bool right)
{
    return {number, when, right};
}

// The card of number in the schedule, or a card numbered 0 when it is not in the drill.
DrillCard cardOf(const QList<DrillCard> &cards, int number)
{
    for (const DrillCard &c : cards)
        if (c.number == number)
            return c;
    return {};
}

QList<int> numbers(const QList<DrillCard> &cards)
{
    QList<int> out;
    for (const DrillCard &c : cards)
        out << c.number;
    return out;
}
} // namespace

class TestDrill : public QObject {
    Q_OBJECT
private slots:
    void wrongInAnExamIsDueThatDay();
    void rightTodayAndThreeDaysLaterLeaves();
    void wrongStartsOver();
    void boxWaits();
    void rightsOnOneDayCountOnce();
    void replayedInTimeOrder();
    void subjectLimitAndOrder();
    void comesBackAfterALaterExam();

    void init();
    void cleanup();
    void answerRightAndWrongInTheWindow();
    void rightAgainThreeDaysLaterLeavesInTheWindow();

private:
    // Stores an exam ended at 09:30 on the clock's day with m_block and m_study answered wrong;
    // false when it could not be stored.
    bool storeExam();
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TFormCodigo> m_reader;
    std::unique_ptr<TFormTreino> w;
    const StoredQuestion *m_block = nullptr; // a block question whose source cites an article
    const StoredQuestion *m_study = nullptr; // a study question (four alternatives) of another subject
};

void TestDrill::wrongInAnExamIsDueThatDay()
{
    const QList<DrillCard> cards = Drill::schedule({exam(at(kDay, 21), {12, 260})}, {});
    QCOMPARE(numbers(cards), (QList<int>{12, 260}));
    const DrillCard c = cardOf(cards, 260);
    QCOMPARE(c.box, 1);
    QCOMPARE(c.due, kDay);
    QCOMPARE(c.subject, int(Subjects::DirecaoDefensiva));
    QCOMPARE(numbers(Drill::due(cards, kDay)), (QList<int>{12, 260}));
    QVERIFY(Drill::due(cards, kDay.addDays(-1)).isEmpty());
    // Right answers in an exam put nothing in the drill.
    QVERIFY(cardOf(cards, 100).number == 0);
}

void TestDrill::rightTodayAndThreeDaysLaterLeaves()
{
    const QList<HistoryExam> exams = {exam(at(kDay, 9), {7})};
    QList<DrillAnswer> answers = {drilled(7, at(kDay, 11), true)};
    DrillCard c = cardOf(Drill::schedule(exams, answers), 7);
    QCOMPARE(c.box, 2);
    QCOMPARE(c.due, kDay.addDays(3));
    QCOMPARE(c.rightDays, 1);
    QVERIFY(Drill::due({c}, kDay.addDays(2)).isEmpty());
    QCOMPARE(Drill::due({c}, kDay.addDays(3)).size(), 1);

    answers << drilled(7, at(kDay.addDays(3)), true);
    QVERIFY(Drill::schedule(exams, answers).isEmpty());
}

void TestDrill::wrongStartsOver()
{
    const QList<HistoryExam> exams = {exam(at(kDay, 9), {7})};
    QList<DrillAnswer> answers = {drilled(7, at(kDay), true), drilled(7, at(kDay.addDays(3)), false)};
    DrillCard c = cardOf(Drill::schedule(exams, answers), 7);
    QCOMPARE(c.number, 7);
    QCOMPARE(c.box, 1);
    QCOMPARE(c.due, kDay.addDays(4));
    QCOMPARE(c.rightDays, 0);
    QCOMPARE(c.mistake, kDay.addDays(3));

    // The right answer before the mistake no longer counts: one more right day is not enough.
    answers << drilled(7, at(kDay.addDays(4)), true);
    c = cardOf(Drill::schedule(exams, answers), 7);
    QCOMPARE(c.box, 2);
    QCOMPARE(c.due, kDay.addDays(7));
    answers << drilled(7, at(kDay.addDays(7)), true);
    QVERIFY(Drill::schedule(exams, answers).isEmpty());
}

void TestDrill::boxWaits()
{
    QCOMPARE(Drill::wait(1), 1);
    QCOMPARE(Drill::wait(2), 3);
    QCOMPARE(Drill::wait(3), 7);

    DrillCard c = Drill::enter(300, -1, kDay);
    QCOMPARE(c.subject, int(Subjects::DirecaoDefensiva));
    c = Drill::answer(c, kDay, true);
    QCOMPARE(c.box, 2);
    QCOMPARE(c.due, kDay.addDays(3));
    c = Drill::answer(c, kDay, true);
    QCOMPARE(c.box, 3);
    QCOMPARE(c.due, kDay.addDays(7));
    // Box 3 is the last: a right answer there waits seven days again.
    c = Drill::answer(c, kDay, true);
    QCOMPARE(c.box, 3);
    QCOMPARE(c.due, kDay.addDays(7));
    QVERIFY(!c.left);
    c = Drill::answer(c, kDay.addDays(2), false);
    QCOMPARE(c.box, 1);
    QCOMPARE(c.due, kDay.addDays(3));
}

void TestDrill::rightsOnOneDayCountOnce()
{
    const QList<HistoryExam> exams = {exam(at(kDay, 8), {7})};
    QList<DrillAnswer> answers = {drilled(7, at(kDay, 9), true), drilled(7, at(kDay, 10), true),
                                  drilled(7, at(kDay, 23), true)};
    DrillCard c = cardOf(Drill::schedule(exams, answers), 7);
    QCOMPARE(c.number, 7);
    QCOMPARE(c.rightDays, 1);
    QCOMPARE(c.box, 3);
    QCOMPARE(c.due, kDay.addDays(7));
    // Trained ahead the next day, a right answer is the second day: it leaves.
    answers << drilled(7, at(kDay.addDays(1), 0), true);
    QVERIFY(Drill::schedule(exams, answers).isEmpty());
}

void TestDrill::replayedInTimeOrder()
{
    // Given out of order: the exam of the 7th, a right on the 8th, a wrong on the 11th.
    const QList<DrillAnswer> answers = {drilled(7, at(kDay.addDays(4)), false),
                                        drilled(7, at(kDay.addDays(1)), true)};
    const QList<HistoryExam> exams = {exam(at(kDay, 20), {7})};
    DrillCard c = cardOf(Drill::schedule(exams, answers), 7);
    QCOMPARE(c.box, 1);
    QCOMPARE(c.due, kDay.addDays(5));
    // A drill answer before any mistake is ignored, and an exam counts at its end, not its start:
    // the drill answer at 19:00 comes before the exam that ended at 20:00 (started at 19:30).
    const QList<DrillCard> cards =
        Drill::schedule(exams, {drilled(7, at(kDay, 19), true), drilled(8, at(kDay, 21), true)});
    QCOMPARE(numbers(cards), QList<int>{7});
    QCOMPARE(cards.first().box, 1);
    QCOMPARE(cards.first().due, kDay);
    // An answer at the very moment the exam ended comes after it.
    QCOMPARE(cardOf(Drill::schedule(exams, {drilled(7, at(kDay, 20), true)}), 7).box, 2);
}

void TestDrill::subjectLimitAndOrder()
{
    // 210 and 230 are of Sinalização (block 5), 12 of Legislação, 360 of Primeiros Socorros.
    const QList<HistoryExam> exams = {exam(at(kDay.addDays(-5)), {230, 12}),
                                      exam(at(kDay.addDays(-1)), {360}), exam(at(kDay), {210})};
    const QList<DrillAnswer> answers = {drilled(12, at(kDay.addDays(-1)), true)}; // due in two days
    const QList<DrillCard> cards = Drill::schedule(exams, answers);
    QCOMPARE(numbers(cards), (QList<int>{230, 360, 210, 12}));
    QCOMPARE(numbers(Drill::due(cards, kDay)), (QList<int>{230, 360, 210}));
    QCOMPARE(numbers(Drill::due(cards, kDay, Subjects::Sinalizacao)), (QList<int>{230, 210}));
    QCOMPARE(numbers(Drill::due(cards, kDay, Subjects::Legislacao)), QList<int>{});
    QCOMPARE(numbers(Drill::ahead(cards, kDay, Subjects::Legislacao)), QList<int>{12});
    QCOMPARE(numbers(Drill::ahead(cards, kDay, Subjects::Sinalizacao)), QList<int>{});
    QCOMPARE(numbers(Drill::due(cards, kDay.addDays(2), Subjects::Legislacao)), QList<int>{12});
    // On one due day the lower box comes first.
    QCOMPARE(numbers(Drill::due(cards, kDay.addDays(2))), (QList<int>{230, 360, 210, 12}));
    const QList<DrillCard> tie = Drill::schedule({exam(at(kDay.addDays(-3)), {12}), exam(at(kDay), {360})},
                                                 {drilled(12, at(kDay.addDays(-3)), true)});
    QCOMPARE(numbers(Drill::due(tie, kDay)), (QList<int>{360, 12}));
    // The subject stored with the exam's answer is the one the drill uses.
    const QList<DrillCard> stored = Drill::schedule({exam(at(kDay), {1001}, Subjects::MeioAmbiente)}, {});
    QCOMPARE(numbers(Drill::due(stored, kDay, Subjects::MeioAmbiente)), QList<int>{1001});
}

void TestDrill::comesBackAfterALaterExam()
{
    QList<HistoryExam> exams = {exam(at(kDay), {7})};
    QList<DrillAnswer> answers = {drilled(7, at(kDay), true), drilled(7, at(kDay.addDays(3)), true)};
    QVERIFY(Drill::schedule(exams, answers).isEmpty());
    // Answered right in a later exam: still out.
    HistoryExam rightAgain = exam(at(kDay.addDays(5)), {});
    rightAgain.answers.append({7, QStringLiteral("C"), true, QString(), Subjects::Legislacao});
    exams << rightAgain;
    QVERIFY(Drill::schedule(exams, answers).isEmpty());
    // A drill answer for a question out of the drill changes nothing.
    answers << drilled(7, at(kDay.addDays(6)), false);
    QVERIFY(Drill::schedule(exams, answers).isEmpty());
    // Wrong in a later exam: back in box 1, due that day, with nothing of before counted.
    exams << exam(at(kDay.addDays(10)), {7});
    DrillCard c = cardOf(Drill::schedule(exams, answers), 7);
    QCOMPARE(c.box, 1);
    QCOMPARE(c.due, kDay.addDays(10));
    QCOMPARE(c.rightDays, 0);
    answers << drilled(7, at(kDay.addDays(10), 22), true);
    QCOMPARE(cardOf(Drill::schedule(exams, answers), 7).rightDays, 1);
}

void TestDrill::init()
{
    m_dialogs = std::make_unique<FakeDialogs>();
    m_clock = std::make_unique<FakeClock>(QDateTime(kDay, QTime(10, 0, 0)));
    m_folder = std::make_unique<TempProgramFolder>();
    QVERIFY(
        QFile::copy(QStringLiteral(QUELVADO_BIN_DIR "/cnt.rtf"), m_folder->file(QStringLiteral("cnt.rtf"))));
    m_reader = std::make_unique<TFormCodigo>();
    AppWindows::set(AppWindow::Codigo, m_reader.get());
    const QuestionBank &bank = QuestionBank::instance();
    for (const StoredQuestion &q : bank.questions())
        if (!m_block && !ArticleIndex::citedArticles(q.source).isEmpty() && !q.explanation.isEmpty())
            m_block = &q;
    QVERIFY(m_block);
    for (const StoredQuestion &q : bank.studyQuestions())
        if (!m_study && Subjects::of(q.number) != Subjects::of(m_block->number))
            m_study = &q;
    QVERIFY(m_study);
}

void TestDrill::cleanup()
{
    w.reset();
    AppWindows::set(AppWindow::Codigo, nullptr);
    m_reader.reset();
    m_folder.reset();
    m_clock.reset();
    m_dialogs.reset();
}

bool TestDrill::storeExam()
{
    HistoryExam e;
    e.type = 1;
    e.start = QDateTime(m_clock->local.date(), QTime(9, 0, 0));
    e.end = e.start.addSecs(1800);
    e.seconds = 1800;
    e.answers.append({m_block->number, QStringLiteral("A"), false, QString(), -1});
    e.answers.append({m_study->number, QString(), false, QString(), -1});
    e.answers.append({100, QStringLiteral("B"), true, QString(), -1});
    return History::instance().store(e) > 0;
}

namespace {
int rightOf(const StoredQuestion *q)
{
    return q->text(QuestionKind::Answer).toInt();
}
QString letterOf(int alternative)
{
    return QString(QChar(u'A' + alternative - 1));
}
} // namespace

void TestDrill::answerRightAndWrongInTheWindow()
{
    QVERIFY(storeExam());
    w = std::make_unique<TFormTreino>();
    QVERIFY(showActive(w.get()));
    QCOMPARE(w->windowTitle(), QStringLiteral("Estudar meus erros"));
    QCOMPARE(w->LabelPendentes->text(), QStringLiteral("2 questões para hoje (2 na lista)"));
    QCOMPARE(w->Paginas->currentIndex(), 0);
    // Both due today in box 1: the lower number first.
    QVERIFY(w->LabelPosicao->text().startsWith(
        QStringLiteral("Questão 1 de 2  ·  nº %1 do banco").arg(m_block->number)));
    QCOMPARE(w->LabelPergunta->text(), m_block->text(QuestionKind::Text).trimmed());
    QVERIFY(w->LabelAlternativas[4]->isVisible());
    QVERIFY(!w->LabelExplicacao->isVisible());
    QVERIFY(!w->BBVerCodigo->isEnabled());
    QVERIFY(!w->BBProximo->isEnabled());

    // Right, by the key of its letter.
    const int right = rightOf(m_block);
    QTest::keyClick(w.get(), Qt::Key(Qt::Key_A + right - 1));
    QCOMPARE(w->LabelSituacao->text(), QStringLiteral("✔ Certa: sua resposta foi ") + letterOf(right));
    QVERIFY(w->LabelAlternativas[right - 1]->text().startsWith(QStringLiteral("✔ ") + letterOf(right)));
    QVERIFY(w->LabelAlternativas[right - 1]->text().endsWith(QStringLiteral("— sua resposta, certa")));
    QCOMPARE(w->LabelDestino->text(), QStringLiteral("A questão passa para a caixa 2 e volta em 10/12/2026. "
                                                     "Acertando de novo em outro dia, ela sai da lista."));
    QVERIFY(w->LabelExplicacao->isVisible());
    QCOMPARE(w->LabelExplicacao->text(), QStringLiteral("Explicação: ") + m_block->explanation);
    QCOMPARE(w->LabelFonte->text(), QStringLiteral("Fonte: ") + m_block->source);
    // A second answer changes nothing.
    QTest::keyClick(w.get(), Qt::Key(Qt::Key_A + right % 5));
    QVERIFY(w->LabelSituacao->text().startsWith(QStringLiteral("✔")));
    QVERIFY(w->BBVerCodigo->isEnabled());
    QTest::mouseClick(w->BBVerCodigo, Qt::LeftButton);
    QVERIFY(m_reader->isVisible());
    QVERIFY(m_reader->RichEdit->textCursor().hasSelection());
    QList<DrillAnswer> stored = History::instance().drillAnswers();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].number, m_block->number);
    QCOMPARE(stored[0].at, m_clock->local);
    QVERIFY(stored[0].right);
    QCOMPARE(w->LabelPendentes->text(), QStringLiteral("1 questão para hoje (2 na lista)"));

    // Wrong, by a click on an alternative: the study question has four.
    QTest::mouseClick(w->BBProximo, Qt::LeftButton);
    QVERIFY(w->LabelPosicao->text().startsWith(
        QStringLiteral("Questão 2 de 2  ·  nº %1 do banco").arg(m_study->number)));
    QVERIFY(!w->LabelAlternativas[4]->isVisible());
    QVERIFY(!w->BBRespostas[4]->isVisible());
    QVERIFY(!w->LabelExplicacao->isVisible());
    const int certa = rightOf(m_study);
    const int errada = certa % 4 + 1;
    QTest::mouseClick(w->LabelAlternativas[errada - 1], Qt::LeftButton);
    QCOMPARE(
        w->LabelSituacao->text(),
        QStringLiteral("✘ Errada: sua resposta foi %1, a certa é %2").arg(letterOf(errada), letterOf(certa)));
    QVERIFY(w->LabelAlternativas[errada - 1]->text().endsWith(QStringLiteral("— sua resposta, errada")));
    QVERIFY(w->LabelAlternativas[certa - 1]->text().endsWith(QStringLiteral("— resposta certa")));
    QCOMPARE(w->LabelDestino->text(),
             QStringLiteral("A questão volta para a caixa 1 e para amanhã, 08/12/2026."));
    QCOMPARE(w->LabelExplicacao->text(), QStringLiteral("Explicação: ") + m_study->explanation);
    QCOMPARE(w->BBVerCodigo->isEnabled(), !ArticleIndex::citedArticles(m_study->source).isEmpty());
    stored = History::instance().drillAnswers();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[1].number, m_study->number);
    QVERIFY(!stored[1].right);

    // The end of the round, and training ahead: the soonest due first.
    QCOMPARE(w->BBProximo->text(), QStringLiteral("Concluir"));
    QTest::keyClick(w.get(), Qt::Key_Return);
    QCOMPARE(w->Paginas->currentIndex(), 1);
    QCOMPARE(w->LabelAviso->text(),
             QStringLiteral("Fim do treino: 1 acerto em 2.\nNenhuma questão para hoje. "
                            "A próxima é amanhã, 08/12/2026."));
    QVERIFY(w->BBAntecipar->isVisible());
    QVERIFY(!w->BBContinuar->isVisible());
    QTest::mouseClick(w->BBAntecipar, Qt::LeftButton);
    QCOMPARE(w->Paginas->currentIndex(), 0);
    QCOMPARE(w->rodada().size(), 2);
    QCOMPARE(w->rodada()[0].number, m_study->number);
    QVERIFY(w->LabelPosicao->text().endsWith(QStringLiteral("prevista para 08/12/2026")));
    // The new round's first question does not carry the last round's "Concluir".
    QCOMPARE(w->BBProximo->text(), QStringLiteral("Próxima"));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestDrill::rightAgainThreeDaysLaterLeavesInTheWindow()
{
    QVERIFY(storeExam());
    QVERIFY(History::instance().storeDrillAnswer({m_block->number, m_clock->local, true}));
    QVERIFY(History::instance().storeDrillAnswer({m_study->number, m_clock->local, true}));
    m_clock->local = m_clock->local.addDays(3);
    // Limited to the block question's subject, as the performance window opens it.
    w = std::make_unique<TFormTreino>(Subjects::of(m_block->number));
    QVERIFY(showActive(w.get()));
    QCOMPARE(w->ComboAssunto->currentText(), Subjects::name(Subjects::of(m_block->number)));
    QCOMPARE(w->rodada().size(), 1);
    QCOMPARE(w->rodada()[0].number, m_block->number);
    QCOMPARE(w->rodada()[0].box, 2);
    QTest::mouseClick(w->BBRespostas[rightOf(m_block) - 1], Qt::LeftButton);
    QCOMPARE(w->LabelDestino->text(),
             QStringLiteral("Certa em dois dias diferentes: a questão sai da lista de erros."));
    QTest::mouseClick(w->BBProximo, Qt::LeftButton);
    QCOMPARE(w->LabelAviso->text(),
             QStringLiteral("Fim do treino: 1 acerto em 1.\nNenhuma questão errada ficou "
                            "para estudar em %1.")
                 .arg(Subjects::name(Subjects::of(m_block->number))));
    QVERIFY(!w->BBAntecipar->isVisible());
    QCOMPARE(History::instance().drillAnswers().size(), 3);
    QVERIFY(Drill::schedule(History::instance().exams(), History::instance().drillAnswers()).size() == 1);

    // Every subject: the study question, right three days ago too, is due today.
    w->ComboAssunto->setCurrentIndex(0);
    QCOMPARE(w->assunto(), -1);
    QCOMPARE(w->rodada().size(), 1);
    QCOMPARE(w->rodada()[0].number, m_study->number);
    // Limited to a subject with no mistakes.
    const int outro = (Subjects::of(m_block->number) + 1) % Subjects::kCount == Subjects::of(m_study->number)
                          ? (Subjects::of(m_block->number) + 2) % Subjects::kCount
                          : (Subjects::of(m_block->number) + 1) % Subjects::kCount;
    w->Abre(outro);
    QCOMPARE(w->ComboAssunto->currentIndex(), outro + 1);
    QCOMPARE(w->Paginas->currentIndex(), 1);
    QCOMPARE(w->LabelAviso->text(),
             QStringLiteral("Nenhuma questão errada para estudar em %1.\nAs questões que "
                            "você errar nas provas aparecem aqui.")
                 .arg(Subjects::name(outro)));
    QCOMPARE(w->LabelPendentes->text(), QStringLiteral("Nenhuma questão para hoje (0 na lista)"));
}

QTEST_MAIN(TestDrill)
#include "tst_drill.moc"
