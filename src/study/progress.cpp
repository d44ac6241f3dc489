// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress.h"

#include "subjects.h"

#include <cmath>

int Progress::share(const SubjectTotal &t)
{
    if (t.total <= 0)
        return -1;
    return int(std::lround(100.0 * t.right / t.total));
}

QString Progress::shareText(const SubjectTotal &t)
{
    if (t.total <= 0)
        return QStringLiteral("—");
    return QStringLiteral("%1% (%2 de %3)").arg(share(t)).arg(t.right).arg(t.total);
}

int Progress::weakest(const QList<SubjectTotal> &recent, const QList<SubjectTotal> &all)
{
    const auto at = [](const QList<SubjectTotal> &list, int s) {
        return s < list.size() ? list[s] : SubjectTotal{};
    };
    int best = -1;
    for (int s = 0; s < Subjects::kCount; ++s) {
        const SubjectTotal r = at(recent, s);
        if (r.total < kMinAnswersToJudge)
            continue;
        if (best < 0) {
            best = s;
            continue;
        }
        const SubjectTotal b = at(recent, best);
        // Compare right/total shares exactly: r.right / r.total < b.right / b.total.
        const qint64 lhs = qint64(r.right) * b.total, rhs = qint64(b.right) * r.total;
        if (lhs != rhs) {
            if (lhs < rhs)
                best = s;
            continue;
        }
        const SubjectTotal ra = at(all, s), ba = at(all, best);
        const qint64 alhs = qint64(ra.right) * qMax(1, ba.total), arhs = qint64(ba.right) * qMax(1, ra.total);
        if (alhs != arhs) {
            if (alhs < arhs)
                best = s;
            continue;
        }
        if (r.total > b.total)
            best = s;
    }
    return best;
}

Progress::Report Progress::report(const History &history)
{
    Report r;
    r.all = history.subjectTotals(0);
    r.recent = history.subjectTotals(kRecentExams);
    const QList<HistorySummary> summaries = history.summaries();
    r.exams = int(summaries.size());
    r.last = summaries.mid(qMax<qsizetype>(0, summaries.size() - kChartExams));
    r.weakest = weakest(r.recent, r.all);
    return r;
}
