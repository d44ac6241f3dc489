// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The study windows over a history of 1,000 stored exams: opening the performance window (reading
// the history, filling the table, the chance of passing and the chart, and its first paint) and the
// reviews window ("Revisões de hoje"). No baseline: each should open in under 60 ms, once the
// memory of the answers has been worked out (the first opening in a run replays them, and is
// printed apart). Then the history grown to 100,000 exams: the reviews window, the first opening
// (every answer replayed) printed, the later ones in under 200 ms.
//
//   bench_studywindows [EXAMS]   (default 1000)

#include "benchutil.h"
#include "historygrow.h"

#include "common/dialogs.h"
#include "common/programfolder.h"
#include "study/formdesempenho.h"
#include "study/formtreino.h"
#include "study/history.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

class Unattended : public Dialogs {
public:
    void message(Icon, const QString &, const QString &) override {}
    bool askYesNo(Icon, const QString &, const QString &) override { return true; }
};

// Notes the first paint in the window it watches: of the window or of any widget in it (a window
// whose content fills it paints only its content).
class Painted : public QObject {
public:
    explicit Painted(const QWidget *window) : m_window(window) {}
    bool painted = false;
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_window)
            painted = true;
        return false;
    }

private:
    const QWidget *m_window;
};

HistoryExam makeExam(int n)
{
    HistoryExam e;
    e.type = 1 + n % 17;
    e.start = QDateTime(QDate(2025, 1, 1), QTime(8, 0)).addSecs(3600LL * 7 * n);
    e.seconds = 1500 + n % 600;
    e.end = e.start.addSecs(e.seconds);
    for (int i = 0; i < 30; ++i)
        e.answers << HistoryAnswer{1 + (n * 31 + i * 17) % 530, QStringLiteral("A"), (n * 3 + i) % 4 != 0,
                                   QString(), -1};
    return e;
}

// Milliseconds from making window W to its first paint, as a person opening it waits for.
template <typename W> double open()
{
    QElapsedTimer t;
    t.start();
    W window;
    Painted painted(&window);
    qApp->installEventFilter(&painted);
    window.show();
    while (!painted.painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    qApp->removeEventFilter(&painted);
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Unattended unattended;
    Dialogs::install(&unattended);
    const int exams = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/.cache/quelvado-bench-XXXXXX"));
    if (!dir.isValid())
        return std::fprintf(stderr, "cannot make a folder under ~/.cache\n"), 1;
    ProgramFolder::set(dir.path());
    for (int n = 0; n < exams; ++n)
        if (!History::instance().store(makeExam(n)))
            return std::fprintf(stderr, "exam %d not stored\n", n), 1;

    constexpr int kRuns = 15;
    // The first opening in a run also loads what Qt Charts needs once; it is shown on its own, after
    // another window was opened, as in the program, where the main window is open before.
    open<TFormTreino>();
    const double first = open<TFormDesempenho>();
    std::vector<double> desempenho, treino;
    for (int r = 0; r < kRuns; ++r) {
        desempenho.push_back(open<TFormDesempenho>());
        treino.push_back(open<TFormTreino>());
    }
    const double d = Bench::median(desempenho), t = Bench::median(treino);
    std::printf("first opening of the performance window in this run: %.2f ms\n", first);
    std::printf("median of %d openings with %d exams stored:\n", kRuns, exams);
    std::printf("  performance window   %8.2f ms (worst %.2f)\n", d,
                *std::max_element(desempenho.begin(), desempenho.end()));
    std::printf("  reviews window       %8.2f ms (worst %.2f)\n", t,
                *std::max_element(treino.begin(), treino.end()));
    Bench::row("study: open the performance window (1,000 exams)", Bench::ms(d), QStringLiteral("-"), -1,
               "<= 60 ms", d <= 60);
    Bench::row("study: open the reviews window (1,000 exams)", Bench::ms(t), QStringLiteral("-"), -1,
               "<= 60 ms", t <= 60);

    // 100,000 exams: the history closed, grown, and opened again by the window.
    const QString path = History::instance().path();
    ProgramFolder::set(dir.filePath(QStringLiteral("elsewhere"))); // closes it
    History::instance();
    if (!Bench::growHistory(path, 100000))
        return std::fprintf(stderr, "the history could not be grown\n"), 1;
    ProgramFolder::set(dir.path());
    const double firstMany = open<TFormTreino>(); // opens the history and replays every answer
    std::printf("  reviews window with 100,000 exams, first opening %8.2f ms\n", firstMany);
    std::vector<double> many;
    for (int r = 0; r < 7; ++r)
        many.push_back(open<TFormTreino>());
    const double m = Bench::median(many);
    std::printf("  reviews window with 100,000 exams %8.2f ms (worst %.2f)\n", m,
                *std::max_element(many.begin(), many.end()));
    Bench::row("study: open the reviews window (100,000 exams)", Bench::ms(m), QStringLiteral("-"), -1,
               "<= 200 ms", m <= 200);
    ProgramFolder::set(QString());
    return 0;
}
