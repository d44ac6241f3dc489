// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The chance of passing, checked on 2,000 synthetic candidates whose memory follows another model
// than the one the program schedules with (tests/study/candidates.h): the calibration table (per
// tenth of the predictions: how many, the mean prediction and the pass frequency; goal: within 5
// points wherever a tenth holds at least 100 candidates) and the Brier score against the naive
// forecast (the pass rate of the last three mock exams). Then the figures over a history of 20,000
// exams and 100,000 study answers: replaying every answer into memory with the reviews due and the
// chance worked out, as the program does the first time (with the time of each part), and with the
// memory kept as it is afterwards (goal 100 ms); and storing one more study answer, synced (goal
// 20 ms).
//
//   bench_readiness [CANDIDATES]   (default 2000)

#include "benchutil.h"
#include "candidates.h"
#include "historygrow.h"

#include "study/history.h"
#include "study/memory.h"
#include "study/readiness.h"
#include "study/reviews.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;

    Candidates::Simulation sim(2026);
    std::vector<Candidates::Outcome> outcomes;
    int notEnough = 0;
    for (int i = 0; i < count; ++i) {
        const Candidates::Outcome o = sim.candidate();
        if (o.enough)
            outcomes.push_back(o);
        else
            ++notEnough;
    }
    const Candidates::Calibration c = Candidates::calibrate(outcomes);
    std::printf("%d candidates (%d judged too early to say, left out)\n", count, notEnough);
    std::printf("predicted | candidates | mean predicted | passed | error (points)\n");
    bool calibrated = true;
    for (std::size_t t = 0; t < c.tenths.size(); ++t) {
        const Candidates::Calibration::Tenth &x = c.tenths[t];
        const double error = (x.predicted - x.passed) * 100;
        if (x.count >= 100 && std::abs(error) > 5)
            calibrated = false;
        std::printf("%3zu–%3zu %% | %10d | %13.1f %% | %5.1f %% | %+6.1f%s\n", t * 10, t * 10 + 10, x.count,
                    x.predicted * 100, x.passed * 100, error, x.count >= 100 ? "" : " (under 100)");
    }
    std::printf("Brier: %.4f; naive forecast (last three mock exams): %.4f\n", c.brier, c.naiveBrier);
    Bench::row("chance: calibration over the tenths with 100 or more",
               QStringLiteral("%1 candidates").arg(c.count), QStringLiteral("-"), -1, "within 5 points",
               calibrated);
    Bench::row("chance: Brier score", QString::number(c.brier, 'f', 4), QString::number(c.naiveBrier, 'f', 4),
               c.brier / c.naiveBrier, "below the naive forecast", c.brier < c.naiveBrier);

    // A history of 20,000 exams and 100,000 study answers: a thousand exams stored, grown to
    // 20,000, and the study answers written in one statement.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    {
        History h(path);
        const QDateTime first(QDate(2025, 1, 6), QTime(9, 0));
        for (int n = 0; n < 1000; ++n) {
            HistoryExam e;
            e.type = n % 3 == 0 ? kTodayFormatType : 1 + n % 18;
            e.start = first.addSecs(3600LL * 7 * n / 10);
            e.end = e.start.addSecs(1800);
            e.seconds = 1800;
            for (int i = 0; i < 30; ++i) {
                HistoryAnswer a;
                a.number = i % 3 == 0 ? 1001 + (n * 7 + i * 13) % 1500 : 1 + (n * 31 + i * 17) % 530;
                a.given = QStringLiteral("A");
                a.right = (n * 3 + i) % 4 != 0;
                e.answers << a;
            }
            if (h.store(e) == 0) {
                std::fprintf(stderr, "could not store exam %d\n", n);
                return 1;
            }
        }
    }
    if (!Bench::growHistory(path, 20000))
        return 1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-study"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (!db.open() ||
            !q.exec(QStringLiteral(
                "WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k < 99999) "
                "INSERT INTO drill_answers (number, at, correct, confidence, kind) SELECT 1 + (k * 37) % "
                "530, "
                "strftime('%Y-%m-%dT%H:%M:%S.000-03:00', '2025-01-06 12:00:00', '+' || (k * 10) || ' "
                "minutes'), "
                "k % 5 <> 0, CASE WHEN k % 5 <> 0 THEN 1 ELSE 0 END, k % 2 FROM n"))) {
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
            return 1;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-study"));
    History h(path);
    if (h.exams().size() != 20000 || h.drillAnswers().size() != 100000) {
        std::fprintf(stderr, "the grown history holds %lld exams and %lld study answers\n",
                     static_cast<long long>(h.exams().size()),
                     static_cast<long long>(h.drillAnswers().size()));
        return 1;
    }
    const Readiness::Pools pools = Candidates::pools();
    std::vector<double> work;
    for (int r = 0; r < 2; ++r) {
        QElapsedTimer t;
        t.start();
        const Memory::State state = Memory::replay(h.exams(History::Answers::Marks), h.drillAnswers());
        const QDate today(2026, 12, 8);
        const QList<Reviews::Item> due = Reviews::due(state, today);
        const Readiness::Estimate e = Readiness::estimate(state, pools, Memory::dayOf(today));
        work.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (due.isEmpty() && e.chance < 0)
            return 1;
    }
    {
        QElapsedTimer t;
        t.start();
        const QList<HistoryExam> exams = h.exams(History::Answers::Marks);
        const qint64 a = t.nsecsElapsed();
        const QList<DrillAnswer> drill = h.drillAnswers();
        const qint64 b = t.nsecsElapsed();
        const QList<Memory::Event> events = Memory::events(exams, drill);
        const qint64 c2 = t.nsecsElapsed();
        Memory::State state;
        for (const Memory::Event &e : events)
            Memory::apply(state, e);
        const qint64 d = t.nsecsElapsed();
        const Readiness::Estimate e = Readiness::estimate(state, pools, Memory::dayOf(QDate(2026, 12, 8)));
        const qint64 f = t.nsecsElapsed();
        std::printf(
            "exams %.0f ms, study answers %.0f ms, events %.0f ms, replay %.0f ms, chance %.0f ms (%.3f)\n",
            a / 1e6, (b - a) / 1e6, (c2 - b) / 1e6, (d - c2) / 1e6, (f - d) / 1e6, e.chance);
    }
    const double workMs = Bench::median(work);
    Bench::row("reviews and chance over 20,000 exams and 100,000 study answers, replayed afresh",
               Bench::ms(workMs), QStringLiteral("-"), -1, "≤ 100 ms", workMs <= 100);
    // As the program works after the first time: the memory kept, one more answer added to it.
    Memory::State kept = Memory::replay(h.exams(History::Answers::Marks), h.drillAnswers());
    std::vector<double> warm;
    for (int r = 0; r < 20; ++r) {
        QElapsedTimer t;
        t.start();
        const QDate today(2026, 12, 8);
        Memory::apply(
            kept, {12 + r, Subjects::of(12 + r), Memory::dayOf(today), Fsrs::Rating::Good, true, true, true});
        const QList<Reviews::Item> due = Reviews::due(kept, today);
        const Readiness::Estimate e = Readiness::estimate(kept, pools, Memory::dayOf(today));
        warm.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (due.isEmpty() && e.chance < 0)
            return 1;
    }
    const double warmMs = Bench::median(warm);
    Bench::row("reviews and chance, the memory kept and one more answer added", Bench::ms(warmMs),
               QStringLiteral("-"), -1, "≤ 100 ms", warmMs <= 100);
    std::vector<double> store;
    for (int r = 0; r < 20; ++r) {
        QElapsedTimer t;
        t.start();
        h.storeDrillAnswer({12, QDateTime(QDate(2026, 12, 8), QTime(10, r)), true,
                            DrillAnswer::Confidence::Knew, DrillAnswer::Kind::Subject});
        store.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    const double storeMs = Bench::median(store);
    Bench::row("storing one study answer, synced", Bench::ms(storeMs), QStringLiteral("-"), -1, "≤ 20 ms",
               storeMs <= 20);
    return 0;
}
