// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The study history with 1,000 stored exams: storing one more (its own transaction, synced to the
// disk), and reading what the performance window shows (the list of exams and the totals per
// subject over all exams and over the last five). Opening the file (with its quick check) and
// reading every exam with its answers are printed too. No baseline: each should take under 50 ms.
// Then the same history grown to 100,000 exams: opening it, and the CSV export (streamed: its peak
// memory grows by less than 50 MB).
//
//   bench_history [EXAMS]   (default 1000)

#include "benchutil.h"
#include "historygrow.h"

#include "study/history.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {

HistoryExam makeExam(int n)
{
    HistoryExam e;
    e.type = 1 + n % 19;
    e.start = QDateTime(QDate(2026, 1, 1), QTime(8, 0)).addSecs(3600LL * n);
    e.end = e.start.addSecs(1500 + n % 600);
    e.seconds = 1500 + n % 600;
    for (int i = 0; i < 30; ++i) {
        HistoryAnswer a;
        // Block questions and, now and then, a study question.
        a.number = i % 10 == 9 ? 1001 + (n * 7 + i) % 900 : 1 + (n * 31 + i * 17) % 530;
        a.given = QString(QChar(u'A' + (n + i) % 4));
        a.right = (n * 3 + i) % 4 != 0;
        if (e.type == kTodayFormatType)
            a.shown = QStringLiteral("2413");
        e.answers << a;
    }
    return e;
}

// Median and worst of runs of f, in milliseconds.
template <typename F> std::pair<double, double> time(int runs, F f)
{
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return {Bench::median(ms), *std::max_element(ms.begin(), ms.end())};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int exams = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    // On the disk the user's data folder is on (not a memory file system), so a store's sync costs
    // what it costs there.
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/.cache/quelvado-bench-XXXXXX"));
    if (!dir.isValid())
        return std::fprintf(stderr, "cannot make a folder under ~/.cache\n"), 1;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    {
        History history(path);
        if (!history.isOpen())
            return std::fprintf(stderr, "%s\n", qUtf8Printable(history.problem())), 1;
        QElapsedTimer t;
        t.start();
        for (int n = 0; n < exams; ++n)
            if (history.store(makeExam(n)) == 0)
                return std::fprintf(stderr, "exam %d not stored\n", n), 1;
        std::printf(
            "%d exams stored in %.0f ms; file %.1f MB\n", exams, static_cast<double>(t.elapsed()),
            static_cast<double>(QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size()) /
                (1024.0 * 1024.0));
    }

    constexpr int kRuns = 21;
    std::unique_ptr<History> history;
    const auto open = time(kRuns, [&] {
        history.reset();
        history = std::make_unique<History>(path);
    });
    int next = exams;
    const auto store = time(kRuns, [&] { history->store(makeExam(next++)); });
    int rows = 0;
    const auto window = time(kRuns, [&] {
        rows = int(history->summaries().size());
        rows += int(history->subjectTotals(0).size() + history->subjectTotals(5).size());
    });
    const auto summaries = time(kRuns, [&] { rows = int(history->summaries().size()); });
    const auto totalsAll = time(kRuns, [&] { rows = int(history->subjectTotals(0).size()); });
    const auto totalsLast = time(kRuns, [&] { rows = int(history->subjectTotals(5).size()); });
    const auto everything = time(5, [&] { rows = int(history->exams().size()); });
    std::printf("median (worst) of %d runs with %d-%d exams stored:\n", kRuns, exams, next);
    std::printf("  open the history           %8.2f ms (%.2f)\n", open.first, open.second);
    std::printf("  store one more exam        %8.2f ms (%.2f)\n", store.first, store.second);
    std::printf("  window data                %8.2f ms (%.2f)\n", window.first, window.second);
    std::printf("    summaries()              %8.2f ms (%.2f)\n", summaries.first, summaries.second);
    std::printf("    subjectTotals(0)         %8.2f ms (%.2f)\n", totalsAll.first, totalsAll.second);
    std::printf("    subjectTotals(5)         %8.2f ms (%.2f)\n", totalsLast.first, totalsLast.second);
    std::printf("  exams() with answers       %8.2f ms (%.2f), %d exams\n", everything.first,
                everything.second, rows);
    Bench::row("history: store an exam (1,000 stored)", Bench::ms(store.first), QStringLiteral("-"), -1,
               "<= 50 ms", store.first <= 50);
    Bench::row("history: performance window's data", Bench::ms(window.first), QStringLiteral("-"), -1,
               "<= 50 ms", window.first <= 50);
    Bench::row("history: open (1,000 stored)", Bench::ms(open.first), QStringLiteral("-"), -1, "<= 50 ms",
               open.first <= 50);
    history.reset();

    // 100,000 exams.
    constexpr int kMany = 100000;
    if (!Bench::growHistory(path, kMany))
        return std::fprintf(stderr, "the history could not be grown\n"), 1;
    QElapsedTimer t;
    t.start();
    history = std::make_unique<History>(path);
    const double firstOpen = static_cast<double>(t.nsecsElapsed()) / 1e6;
    const auto openMany = time(5, [&] {
        history.reset();
        history = std::make_unique<History>(path);
    });
    // The export first: its peak memory is read before anything else reads the whole history.
    const QString csv = dir.filePath(QStringLiteral("historico.csv"));
    const long before = Bench::statusKb("VmHWM");
    const auto exportMany = time(1, [&] { history->exportCsv(csv); });
    const long grown = Bench::statusKb("VmHWM") - before;
    std::printf("with %d exams: first open %.0f ms, open %.0f ms; CSV export %.0f ms, %.1f MB, peak memory "
                "+%.1f MB\n",
                kMany, firstOpen, openMany.first, exportMany.first,
                static_cast<double>(QFileInfo(csv).size()) / (1024.0 * 1024.0),
                static_cast<double>(grown) / 1024.0);
    Bench::row("history: open (100,000 exams)", Bench::ms(openMany.first), QStringLiteral("-"), -1, "-",
               true);
    Bench::row("history: CSV export (100,000 exams)", Bench::ms(exportMany.first), QStringLiteral("-"), -1,
               "peak memory +50 MB at most", grown <= 50 * 1024);
    history.reset();
    return 0;
}
