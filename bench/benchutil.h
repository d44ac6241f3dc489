// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the benchmarks: medians, whole-process timings, resident memory, and the one
// line per goal that bench/run.sh gathers into its table:
//   ROW|action|measured|baseline|ratio|goal|met

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace Bench {

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); 0 when unknown.
inline long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Wall time of one whole run of program (output thrown away), in milliseconds; -1 on failure.
inline double runMs(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForStarted(10000) || !p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// The output of one run of program; empty when it fails.
inline QByteArray runOutput(const QString &program, const QStringList &args,
                            const QProcessEnvironment &env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForStarted(10000) || !p.waitForFinished(600000))
        return {};
    return p.readAllStandardOutput();
}

// One line of the table. ratio < 0 prints "-" (no baseline).
inline void row(const char *action, const QString &measured, const QString &baseline, double ratio,
                const char *goal, bool met)
{
    std::printf("ROW|%s|%s|%s|%s|%s|%s\n", action, qPrintable(measured), qPrintable(baseline),
                ratio < 0 ? "-" : qPrintable(QString::number(ratio, 'f', 2) + QStringLiteral(" x")), goal,
                met ? "yes" : "NO");
    std::fflush(stdout);
}

// A row kept for reference: measured against a baseline, with no goal.
inline void referenceRow(const char *action, const QString &measured, const QString &baseline, double ratio)
{
    std::printf("ROW|%s|%s|%s|%s|reference, no goal|-\n", action, qPrintable(measured), qPrintable(baseline),
                qPrintable(QString::number(ratio, 'f', 2) + QStringLiteral(" x")));
    std::fflush(stdout);
}

inline QString ms(double v)
{
    return QString::number(v, 'f', v < 10 ? 3 : 1) + QStringLiteral(" ms");
}
inline QString mb(double kb)
{
    return QString::number(kb / 1024.0, 'f', 1) + QStringLiteral(" MB");
}

} // namespace Bench
