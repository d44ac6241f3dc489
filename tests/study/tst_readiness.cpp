// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The chance of passing today's exam, checked against synthetic candidates whose real memory is
// not the review model's (candidates.h): calibrated, and better than judging by the last mock
// exams (bench/readiness prints the full table over 2,000 candidates). Then how answers grade
// the questions, what the reviews offer, and the exact sum behind the chance.

#include "candidates.h"

#include "study/memory.h"
#include "study/readiness.h"
#include "study/reviews.h"

#include <QtTest>

class TestReadiness : public QObject {
    Q_OBJECT

private slots:
    void calibratedOnSyntheticCandidates();
    void answersGradeTheQuestions();
    void reviewsAndNewQuestions();
    void chanceOfPassing();
};

void TestReadiness::calibratedOnSyntheticCandidates()
{
    Candidates::Simulation sim(11);
    std::vector<Candidates::Outcome> outcomes;
    for (int i = 0; i < 400; ++i)
        if (const Candidates::Outcome o = sim.candidate(); o.enough)
            outcomes.push_back(o);
    QVERIFY(outcomes.size() > 350);
    const Candidates::Calibration c = Candidates::calibrate(outcomes);
    QVERIFY2(c.brier < c.naiveBrier,
             qPrintable(QStringLiteral("%1 against %2").arg(c.brier).arg(c.naiveBrier)));
    // Over all and over each third of the predictions: predicted and passed close.
    std::array<Candidates::Calibration::Tenth, 3> thirds{};
    Candidates::Calibration::Tenth all;
    for (const Candidates::Outcome &o : outcomes)
        for (Candidates::Calibration::Tenth *t :
             {&all, &thirds[static_cast<std::size_t>(std::min(2, static_cast<int>(o.predicted * 3)))]}) {
            ++t->count;
            t->predicted += o.predicted;
            t->passed += o.passed ? 1 : 0;
        }
    for (const Candidates::Calibration::Tenth &t : thirds) {
        QVERIFY(t.count >= 60);
        QVERIFY2(
            std::abs(t.predicted - t.passed) / t.count <= 0.08,
            qPrintable(
                QStringLiteral("%1 predicted, %2 passed of %3").arg(t.predicted).arg(t.passed).arg(t.count)));
    }
    QVERIFY(std::abs(all.predicted - all.passed) / all.count <= 0.04);
}

void TestReadiness::answersGradeTheQuestions()
{
    using Fsrs::Rating;
    HistoryAnswer shown;
    shown.number = 12;
    shown.right = true;
    QCOMPARE(Memory::ratingOf(shown), std::optional(Rating::Good));
    HistoryAnswer revealed = shown;
    revealed.revealed = true;
    QCOMPARE(Memory::ratingOf(revealed), std::optional(Rating::Again));
    HistoryAnswer blank; // seen, no letter
    blank.number = 12;
    QCOMPARE(Memory::ratingOf(blank), std::optional(Rating::Again));
    HistoryAnswer unseen = shown;
    unseen.seen = false;
    QVERIFY(!Memory::ratingOf(unseen));

    DrillAnswer d;
    d.right = true;
    QCOMPARE(Memory::ratingOf(d), Rating::Good); // stored before the question was asked
    d.confidence = DrillAnswer::Confidence::Thought;
    QCOMPARE(Memory::ratingOf(d), Rating::Hard);
    d.confidence = DrillAnswer::Confidence::Guessed;
    QCOMPARE(Memory::ratingOf(d), Rating::Again);
    d.confidence = DrillAnswer::Confidence::Knew;
    QCOMPARE(Memory::ratingOf(d), Rating::Good);
    d.right = false;
    QCOMPARE(Memory::ratingOf(d), Rating::Again);

    // A replay: an exam (one position never shown, one checked by the light), then study answers.
    const QDateTime t0(QDate(2026, 3, 2), QTime(10, 0));
    HistoryExam exam;
    exam.start = t0;
    exam.end = t0.addSecs(600);
    exam.answers = {shown, unseen, revealed};
    exam.answers[1].number = 13;
    exam.answers[2].number = 14;
    DrillAnswer again{14, t0.addDays(1), true, DrillAnswer::Confidence::Knew, DrillAnswer::Kind::Review};
    DrillAnswer fresh{15, t0.addDays(1), true, DrillAnswer::Confidence::Guessed, DrillAnswer::Kind::Subject};
    const Memory::State state = Memory::replay({exam}, {fresh, again}); // any order: replayed by time
    QCOMPARE(state.answers, 4);
    QVERIFY(!state.questions.contains(13));
    QCOMPARE(state.questions.value(12).card.reps, 1);
    QCOMPARE(state.questions.value(14).card.reps, 2);
    QCOMPARE(state.questions.value(14).card.lapses, 0);
    QCOMPARE(state.checks.size(), 1); // 14 answered again a day later
    QVERIFY(state.checks.first().recalled);
    // First attempts: 12 right; 14 checked by the light is no honest right answer; 15 a guess,
    // but right.
    const int legis = Subjects::of(12);
    QVERIFY(legis >= 0);
    int right = 0;
    int total = 0;
    for (const Memory::Tally &t : state.firstAttempts) {
        right += t.right;
        total += t.total;
    }
    QCOMPARE(total, 3);
    QCOMPARE(right, 2);
    // The day after: one review and one new question studied.
    const auto day = state.studyDays.value(Memory::dayOf(t0.date().addDays(1)));
    QCOMPARE(day[0], 1);
    QCOMPARE(day[1], 1);
}

void TestReadiness::reviewsAndNewQuestions()
{
    const Readiness::Pools pools = Candidates::pools();
    Memory::State state;
    const QDate d0(2026, 5, 4);
    // Three questions answered on different days with different grades.
    Memory::apply(state, {1, 0, Memory::dayOf(d0), Fsrs::Rating::Good, true, true, true});
    Memory::apply(state, {2, 0, Memory::dayOf(d0), Fsrs::Rating::Again, false, true, true});
    Memory::apply(state, {3, 0, Memory::dayOf(d0.addDays(2)), Fsrs::Rating::Good, true, true, true});
    const QDate later = d0.addDays(3);
    const QList<Reviews::Item> due = Reviews::due(state, later);
    QCOMPARE(due.size(), 2);    // 3 is not due yet
    QCOMPARE(due[0].number, 2); // the lowest recall first
    QVERIFY(due[0].recall < due[1].recall);
    QCOMPARE(Reviews::due(state, later, 1).size(), 0);
    QCOMPARE(Reviews::ahead(state, later).size(), 1);

    // New questions: none already answered, every one of the subject, sources taking turns.
    const QList<Reviews::Item> fresh = Reviews::fresh(state, pools, later, 3);
    QCOMPARE(fresh.size(), pools[3].size());
    QCOMPARE(Reviews::fresh(state, pools, later, 0).size(), pools[0].size() - 3);
    QVERIFY(fresh[0].number / 100 != fresh[1].number / 100);
    QCOMPARE(Reviews::fresh(state, pools, later, 3), fresh); // the same all day
    QVERIFY(Reviews::fresh(state, pools, later.addDays(1), 3) != fresh);

    // The daily numbers: what was studied today counts; an exam date spreads the backlog.
    const Reviews::Limits limits{60, 20};
    QCOMPARE(Reviews::freshLeft(state, d0, limits), 18);
    QCOMPARE(Reviews::reviewsLeft(state, d0, limits, 0, {}), 60);
    QCOMPARE(Reviews::reviewsLeft(state, later, limits, 300, later.addDays(2)), 150);
    QCOMPARE(Reviews::reviewsLeft(state, later, limits, 300, {}), 60);
    const Reviews::Coverage c = Reviews::coverage(state, pools, 0);
    QCOMPARE(c.seen, 3);
    QCOMPARE(c.total, pools[0].size());
}

void TestReadiness::chanceOfPassing()
{
    // Every position at one half: at least 20 of 30 by the binomial sum.
    Readiness::Shares half;
    half.fill(0.5);
    double expected = 0.0;
    for (int k = 20; k <= 30; ++k) {
        double c = 1.0;
        for (int i = 0; i < k; ++i)
            c = c * (30 - i) / (i + 1);
        expected += c / std::pow(2.0, 30);
    }
    QVERIFY(std::abs(Readiness::passChance(half) - expected) < 1e-12);
    Readiness::Shares sure;
    sure.fill(1.0);
    QCOMPARE(Readiness::passChance(sure), 1.0);

    // Nothing answered: not enough to judge, a wide band around chance from the neutral prior.
    const Readiness::Pools pools = Candidates::pools();
    Memory::State empty;
    const Readiness::Estimate none = Readiness::estimate(empty, pools, Memory::dayOf(QDate(2026, 6, 1)));
    QVERIFY(!none.enough);
    QVERIFY(none.low < none.chance && none.chance < none.high);
    QVERIFY(none.high - none.low > 0.3);
    // A candidate who knows a whole subject well: its recall shows, and it is not among the subjects
    // to study first.
    Memory::State state;
    const QDate d(2026, 6, 1);
    for (int number : pools[3])
        for (int k = 0; k < 3; ++k)
            Memory::apply(state,
                          {number, 3, Memory::dayOf(d.addDays(k * 4)), Fsrs::Rating::Good, true, true, true});
    const Readiness::Estimate e = Readiness::estimate(state, pools, Memory::dayOf(d.addDays(9)));
    QVERIFY(!e.enough); // one subject only
    QVERIFY(e.recall[3] > 0.85);
    QCOMPARE(e.answered[3], pools[3].size());
    QVERIFY(!e.raise.contains(3));
    QVERIFY(e.chance > none.chance);

    // The chance over the days: at the end of each of the last days with an answer, what the answers
    // up to then give for an exam that day; days without answers and days from `before` on left out.
    QList<Memory::Event> events;
    const QList<int> days{0, 1, 3, 6, 9};
    for (int k : days)
        for (int s = 0; s < Subjects::kCount; ++s)
            for (int i = 0; i < 8; ++i)
                events.append({pools[static_cast<std::size_t>(s)]
                                    [(i + k * 3) % pools[static_cast<std::size_t>(s)].size()],
                               s, Memory::dayOf(d.addDays(k)),
                               (i + k) % 3 ? Fsrs::Rating::Good : Fsrs::Rating::Again, (i + k) % 3 != 0, true,
                               false});
    const QList<Readiness::DayChance> curve = Readiness::curve(events, pools, Memory::dayOf(d.addDays(9)), 3);
    QCOMPARE(curve.size(), 3);
    for (int k = 0; k < 3; ++k) {
        const Fsrs::Day day = Memory::dayOf(d.addDays(days[k + 1]));
        QCOMPARE(curve[k].day, day);
        Memory::State upTo;
        for (const Memory::Event &event : std::as_const(events))
            if (event.day <= day)
                Memory::apply(upTo, event);
        const Readiness::Estimate then = Readiness::estimate(upTo, pools, day);
        QCOMPARE(curve[k].chance, then.chance);
        QCOMPARE(curve[k].low, then.low);
        QCOMPARE(curve[k].high, then.high);
        QCOMPARE(curve[k].enough, then.enough);
    }
    QVERIFY(!curve[0].enough && curve[2].enough); // 112 answers, then 168

    // By module: Direção Defensiva (well known, above) as module 3, Primeiros Socorros as module 4,
    // the rest as module 1 but for one question left without a module.
    QHash<int, int> moduleOf;
    for (std::size_t s = 0; s < pools.size(); ++s)
        for (int number : pools[s])
            moduleOf.insert(number, s == 3 ? 3 : s == 4 ? 4 : 1);
    moduleOf.remove(pools[0].first());
    const Readiness::Modules m =
        Readiness::byModule(state, pools, moduleOf, Memory::dayOf(d.addDays(9)), e.scale);
    QCOMPARE(m.total[2], pools[3].size());
    QCOMPARE(m.answered[2], pools[3].size());
    QCOMPARE(m.answered[0], 0);
    QCOMPARE(m.total[1], 0);
    QVERIFY(std::abs(m.inExam[2] - 10.0) < 1e-9); // the exam's share of Direção Defensiva
    QVERIFY(std::abs(m.inExam[3] - 3.0) < 1e-9);
    QVERIFY(std::abs(m.inExam[0] + m.inExam[2] + m.inExam[3] - 30.0) < 4.0 / pools[0].size() + 1e-9);
    QVERIFY(std::abs(m.expected[2] - e.expected[3]) < 1e-9); // the same questions, the same chance
    QVERIFY(std::abs(m.expected[3] - 0.5) < 1e-9);           // never answered: the neutral prior
}

QTEST_APPLESS_MAIN(TestReadiness)
#include "tst_readiness.moc"
