// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// chance HISTORY [DATE]
// The chance of passing the exam in today's format that the program works out from the study
// history HISTORY (a historico.sqlite; a copy of it is read, so the file itself is never changed,
// migrated or set aside) on DATE
// (yyyy-mm-dd; today when left out), with its 80 % band, the curve's factor for this candidate,
// and per subject the questions answered, their mean recall and the mean chance of a right answer.

#include "exam/questionbank.h"
#include "study/history.h"
#include "study/memory.h"
#include "study/readiness.h"
#include "study/todayexam.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: chance HISTORY [yyyy-mm-dd]\n");
        return 2;
    }
    if (!QFileInfo(args[1]).isFile()) {
        std::fprintf(stderr, "chance: %s is not a file\n", qPrintable(args[1]));
        return 1;
    }
    const QDate day = args.size() == 3 ? QDate::fromString(args[2], Qt::ISODate) : QDate::currentDate();
    if (!day.isValid()) {
        std::fprintf(stderr, "chance: %s is not a date (yyyy-mm-dd)\n", qPrintable(args[2]));
        return 2;
    }
    // A copy, with its log when there is one: opening a history may migrate or repair it.
    QTemporaryDir copy;
    const QString path = copy.filePath(QStringLiteral("historico.sqlite"));
    if (!copy.isValid() || !QFile::copy(args[1], path) ||
        (QFileInfo::exists(args[1] + QStringLiteral("-wal")) &&
         !QFile::copy(args[1] + QStringLiteral("-wal"), path + QStringLiteral("-wal")))) {
        std::fprintf(stderr, "chance: %s could not be copied to be read\n", qPrintable(args[1]));
        return 1;
    }
    History history(path);
    if (!history.isOpen()) {
        std::fprintf(stderr, "chance: %s\n", qPrintable(history.problem()));
        return 1;
    }
    const Memory::State state =
        Memory::replay(history.exams(History::Answers::Marks), history.drillAnswers());
    const Readiness::Pools pools = TodayExam::pools(QuestionBank::instance());
    const Readiness::Estimate e = Readiness::estimate(state, pools, Memory::dayOf(day));
    std::printf("day: %s\nanswers: %d%s\n", qPrintable(day.toString(Qt::ISODate)), state.answers,
                e.enough ? "" : " (not enough to judge: the program shows no number)");
    std::printf("chance of passing: %.1f %% (80 %% band %.1f–%.1f %%)\ncurve factor: %.3f\n", e.chance * 100,
                e.low * 100, e.high * 100, e.scale);
    std::printf("subject | answered | of | mean recall | mean chance right | first answers right\n");
    for (int s = 0; s < Subjects::kCount; ++s) {
        const std::size_t i = static_cast<std::size_t>(s);
        const Memory::Tally &t = state.firstAttempts[i];
        std::printf("%s | %d | %d | %s | %.1f %% | %d of %d\n", qPrintable(Subjects::name(s)), e.answered[i],
                    e.total[i],
                    e.recall[i] < 0
                        ? "-"
                        : qPrintable(QString::number(e.recall[i] * 100, 'f', 1) + QStringLiteral(" %")),
                    e.expected[i] * 100, t.right, t.total);
    }
    const QHash<int, int> moduleOf = Readiness::modulesOf(QuestionBank::instance());
    const Readiness::Modules m = Readiness::byModule(state, pools, moduleOf, Memory::dayOf(day), e.scale);
    std::printf("module | in a drawn exam (mean) | answered | of | mean chance right\n");
    for (int k = 0; k < kModules; ++k) {
        const std::size_t i = static_cast<std::size_t>(k);
        std::printf("%d. %s | %.1f | %d | %d | %.1f %%\n", k + 1, qPrintable(moduleName(k + 1)), m.inExam[i],
                    m.answered[i], m.total[i], m.expected[i] * 100);
    }
    return 0;
}
