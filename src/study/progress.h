// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the performance window shows, read from the study history: per subject the share of right
// answers over every exam and over the last five, the results of the last exams in time order, and
// the weakest subject, the one to drill.

#include "study/history.h"

#include <QList>
#include <QString>

namespace Progress {
// The exams the per-subject column "recent" covers.
constexpr int kRecentExams = 5;
// The exams the chart shows at most.
constexpr int kChartExams = 30;

// Right answers as a whole percentage of the total, rounded to the nearest; -1 when there is none.
int share(const SubjectTotal &t);
// "73% (22 de 30)", or "—" when the subject has no answer.
QString shareText(const SubjectTotal &t);

// The answers a subject needs over the recent exams before its share says anything.
constexpr int kMinAnswersToJudge = 10;

// The subject to drill: the lowest share over the recent exams among the subjects with at least
// kMinAnswersToJudge answers there (ties: the lower share over every exam, then the one with more
// answers, then the first subject); -1 when no subject has that many.
int weakest(const QList<SubjectTotal> &recent, const QList<SubjectTotal> &all);

// Everything the performance window shows.
struct Report {
    QList<SubjectTotal> all;    // index Subjects::Subject
    QList<SubjectTotal> recent; // over the last kRecentExams exams
    QList<HistorySummary> last; // the last kChartExams exams, oldest first
    int exams = 0;              // how many exams are stored
    int weakest = -1;
};
Report report(const History &history);
} // namespace Progress
