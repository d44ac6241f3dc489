// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// historyworker FILE: stores exams in the history FILE over and over, printing "stored N" after
// each, until it is killed. The history kill test runs it.

#include "study/history.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    History history(QString::fromLocal8Bit(argv[1]));
    if (!history.isOpen()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(history.problem()));
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    const QDateTime start(QDate(2026, 12, 8), QTime(10, 0));
    for (int n = 0;; ++n) {
        HistoryExam exam;
        exam.type = 1 + n % 18;
        exam.start = start.addSecs(60 * n);
        exam.end = exam.start.addSecs(1500);
        exam.seconds = 1500;
        for (int i = 0; i < 30; ++i) {
            HistoryAnswer a;
            a.number = 1 + (n * 30 + i) % 530;
            a.given = QString(QChar(u'A' + i % 5));
            a.right = (n + i) % 3 != 0;
            exam.answers << a;
        }
        const qint64 id = history.store(exam);
        if (id == 0)
            return 1;
        std::printf("stored %lld\n", static_cast<long long>(id));
        std::fflush(stdout);
    }
}
