// The drill of one's own mistakes: the schedule worked out from hand-made exams and drill answers
// (boxes and their waits, leaving after rights on two different days, a wrong answer starting
// over, the subject limit, coming back after a later exam).

#include "study/drill.h"
#include "study/subjects.h"

#include <QtTest>

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

QTEST_MAIN(TestDrill)
#include "tst_drill.moc"
