// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up benchmark: the time from process start to the main window's first paint and the
// resident memory then, for the program and for a bare Qt window, measured alternately in the same
// run, offscreen. Prints the medians and the ratios program / bare.
//
// The time ratio is the median of each round's own ratio (the program against the bare window with
// text started just before it), so that a machine busy for a while slows both alike. Rounds go on
// until the 95 % confidence interval of that median is at most 0.05 wide, so that two runs of the
// table agree within about that: at least MIN_RUNS rounds, at most MAX_RUNS.
//
//   bench_startup [MIN_RUNS [MAX_RUNS]]   (default 21 and 401)

#include "benchutil.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace {
struct Sample {
    double ms;
    long rssKb;
};

bool measure(const QString &program, const QStringList &args, const QString &tmp, Sample &out)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUELVADO_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    env.insert(QStringLiteral("QUELVADO_UNATTENDED"), QStringLiteral("1"));
    env.insert(QStringLiteral("TMPDIR"), tmp);
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return false;
    QByteArray line;
    while (!line.contains('\n')) {
        if (!p.waitForReadyRead(20000))
            return false;
        line += p.readAllStandardOutput();
    }
    out.ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    const QList<QByteArray> words = line.simplified().split(' ');
    out.rssKb = words.value(3).toLong();
    p.waitForFinished(10000);
    return words.value(0) == "first-paint-ms";
}

// The distribution-free 95 % confidence interval of the median of v (order statistics around the
// middle, normal approximation of the binomial).
std::pair<double, double> medianInterval(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const double n = static_cast<double>(v.size());
    const double half = 0.98 * std::sqrt(n);
    const auto low = static_cast<size_t>(std::max(0.0, std::floor(n / 2 - half)));
    const auto high = static_cast<size_t>(std::min(n - 1, std::ceil(n / 2 + half)));
    return {v[low], v[high]};
}
} // namespace

int main(int argc, char **argv)
{
    const int minRuns = argc > 1 ? std::max(5, std::atoi(argv[1])) : 21;
    const int maxRuns = argc > 2 ? std::max(minRuns, std::atoi(argv[2])) : 401;
    constexpr double kWidth = 0.05;
    QTemporaryDir tmp;
    std::vector<double> ms[3], rss[3], timeRatio, memoryRatio;
    const QStringList args[3] = {{}, {QStringLiteral("--text")}, {}};
    const QString programs[3] = {QStringLiteral(BARE_PROGRAM), QStringLiteral(BARE_PROGRAM),
                                 QStringLiteral(QUELVADO_PROGRAM)};
    Sample s{};
    int runs = 0;
    std::pair<double, double> interval{0, 0};
    while (runs < maxRuns) {
        for (int k = 0; k < 3; ++k) {
            if (!measure(programs[k], args[k], tmp.path(), s))
                return std::fprintf(stderr, "%s failed\n", qPrintable(programs[k])), 1;
            ms[k].push_back(s.ms);
            rss[k].push_back(static_cast<double>(s.rssKb));
        }
        timeRatio.push_back(ms[2].back() / ms[1].back());
        memoryRatio.push_back(rss[2].back() / rss[1].back());
        ++runs;
        interval = medianInterval(timeRatio);
        if (runs >= minRuns && interval.second - interval.first <= kWidth)
            break;
    }
    double m[3], r[3];
    for (int k = 0; k < 3; ++k)
        m[k] = Bench::median(ms[k]), r[k] = Bench::median(rss[k]);
    const double time = Bench::median(timeRatio), memory = Bench::median(memoryRatio);
    const bool settled = interval.second - interval.first <= kWidth;
    std::printf("runs %d (median)\n", runs);
    std::printf("bare window           : %7.1f ms  %7.0f kB\n", m[0], r[0]);
    std::printf("bare window with text : %7.1f ms  %7.0f kB\n", m[1], r[1]);
    std::printf("quelvado              : %7.1f ms  %7.0f kB\n", m[2], r[2]);
    std::printf("ratio to bare         : %7.2f x   %7.2f x\n", m[2] / m[0], r[2] / r[0]);
    std::printf(
        "ratio to bare + text  : %7.2f x   %7.2f x   (median of the rounds' ratios; goal at most 1.25 x "
        "each)\n",
        time, memory);
    std::printf("time ratio, 95 %% interval of the median: %.3f to %.3f%s\n", interval.first, interval.second,
                settled ? "" : " (wider than 0.05 after the most rounds: the machine is too busy)");
    Bench::row("start-up to first paint: time", Bench::ms(m[2]),
               QStringLiteral("bare window with text ") + Bench::ms(m[1]), time, "<= 1.25 x",
               time <= 1.25 && settled);
    Bench::row("start-up to first paint: memory", Bench::mb(r[2]),
               QStringLiteral("bare window with text ") + Bench::mb(r[1]), memory, "<= 1.25 x",
               memory <= 1.25);
    return 0;
}
