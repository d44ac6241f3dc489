// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up benchmark: the time from process start to the main window's first paint and the
// resident memory then, for the program and for a bare Qt window, measured alternately in the same
// run, offscreen. Prints the medians and the ratios program / bare.
//
//   bench_startup [RUNS]   (default 15)

#include "benchutil.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QTemporaryDir tmp;
    std::vector<double> ms[3], rss[3];
    const QStringList args[3] = {{}, {QStringLiteral("--text")}, {}};
    const QString programs[3] = {QStringLiteral(BARE_PROGRAM), QStringLiteral(BARE_PROGRAM),
                                 QStringLiteral(QUELVADO_PROGRAM)};
    Sample s{};
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < 3; ++k) {
            if (!measure(programs[k], args[k], tmp.path(), s))
                return std::fprintf(stderr, "%s failed\n", qPrintable(programs[k])), 1;
            ms[k].push_back(s.ms);
            rss[k].push_back(static_cast<double>(s.rssKb));
        }
    }
    double m[3], r[3];
    for (int k = 0; k < 3; ++k)
        m[k] = median(ms[k]), r[k] = median(rss[k]);
    std::printf("runs %d (median)\n", runs);
    std::printf("bare window           : %7.1f ms  %7.0f kB\n", m[0], r[0]);
    std::printf("bare window with text : %7.1f ms  %7.0f kB\n", m[1], r[1]);
    std::printf("quelvado              : %7.1f ms  %7.0f kB\n", m[2], r[2]);
    std::printf("ratio to bare         : %7.2f x   %7.2f x   (goal against the window with text: at most "
                "1.25 x each)\n",
                m[2] / m[0], r[2] / r[0]);
    std::printf("ratio to bare + text  : %7.2f x   %7.2f x\n", m[2] / m[1], r[2] / r[1]);
    Bench::row("start-up to first paint: time", Bench::ms(m[2]),
               QStringLiteral("bare window with text ") + Bench::ms(m[1]), m[2] / m[1], "<= 1.25 x",
               m[2] / m[1] <= 1.25);
    Bench::row("start-up to first paint: memory", Bench::mb(r[2]),
               QStringLiteral("bare window with text ") + Bench::mb(r[1]), r[2] / r[1], "<= 1.25 x",
               r[2] / r[1] <= 1.25);
    return 0;
}
