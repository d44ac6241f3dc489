// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// poolworker FOLDER: draws personalised exams from FOLDER/numprova.dat over and over, as the exam
// window does, until it is killed. The pool-file kill test runs it.

#include "exam/examtypes.h"
#include "exam/personalpool.h"
#include "store/binarydataset.h"
#include "store/field.h"

#include <QCoreApplication>
#include <QSet>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/numprova.dat");
    const QStringList pool = ExamTypes::defaultPool();
    QSet<int> known;
    for (const QString &n : pool)
        known.insert(n.toInt());
    TBinaryDataSet bds;
    TField &numero = bds.AddField(QStringLiteral("Numero"), ftString, 5);
    std::puts("ready");
    std::fflush(stdout);
    for (;;) {
        PersonalPool::draw(bds, numero, path, pool, known, ExamTypes::kQuestions);
        std::puts("drawn");
        std::fflush(stdout);
    }
}
