// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Grows a study history to many exams in moments, for the benchmarks at 100,000 exams: the exams
// stored so far (with their answers and counts) are copied, with new ids and days, until there are
// `exams`. One transaction through a connection of its own; the history must be closed.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <cstdio>

namespace Bench {

inline bool growHistory(const QString &path, int exams)
{
    const QString name = QStringLiteral("bench-grow");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        const auto run = [&](const QString &sql) {
            if (ok && !q.exec(sql)) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(sql), qPrintable(q.lastError().text()));
                ok = false;
            }
            return ok;
        };
        run(QStringLiteral("BEGIN IMMEDIATE"));
        for (;;) {
            if (!run(QStringLiteral("SELECT count(*), max(id) FROM exams")) || !q.next())
                break;
            const qint64 count = q.value(0).toLongLong(), last = q.value(1).toLongLong();
            q.finish();
            if (count >= exams)
                break;
            const qint64 copy = std::min<qint64>(count, exams - count);
            const QString shift = QString::number(last);
            const QString upTo = QString::number(copy);
            // The copies end a day after the exams they copy, in the same order.
            run(QStringLiteral(
                    "INSERT INTO exams (id, type, started, finished, seconds, right_count, total_count) "
                    "SELECT id + %1, type, started, finished, seconds, right_count, total_count FROM exams "
                    "WHERE id <= %2")
                    .arg(shift, upTo));
            run(QStringLiteral(
                    "INSERT INTO answers SELECT exam + %1, position, number, given, correct, shown, subject, "
                    "revealed, seen FROM answers WHERE exam <= %2")
                    .arg(shift, upTo));
            run(QStringLiteral(
                    "INSERT INTO exam_subjects SELECT exam + %1, subject, right_count, total_count FROM "
                    "exam_subjects WHERE exam <= %2")
                    .arg(shift, upTo));
            if (!ok)
                break;
        }
        run(QStringLiteral("COMMIT"));
        run(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace Bench
