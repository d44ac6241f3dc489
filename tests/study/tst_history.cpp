// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The study history: what is stored comes back whole, the totals per subject add up, an older file
// is migrated, a file that cannot be used is set aside and a fresh history started, the export is
// a spreadsheet's CSV, and a kill at any moment loses at most the exam being stored.

#include "study/history.h"
#include "study/memory.h"
#include "study/studyhistory.h"
#include "study/subjects.h"

#include "exam/questionbank.h"

#include "common/programfolder.h"
#include "fakes.h"
#include "files.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A question of each subject's block, in subject order: number + i stays in the block for i < 30.
constexpr int kBlockOf[Subjects::kCount] = {1, 101, 201, 251, 351, 401, 451};

HistoryExam makeExam(int k, int type = 1)
{
    HistoryExam e;
    e.type = type;
    e.start = QDateTime(QDate(2026, 12, 1 + k % 28), QTime(9, 15, 30, 250));
    e.end = e.start.addSecs(1200 + k);
    e.seconds = 1200 + k;
    for (int i = 0; i < 30; ++i) {
        HistoryAnswer a;
        a.number = kBlockOf[i % Subjects::kCount] + i;
        a.given = (i + k) % 11 == 0 ? QString() : QString(QChar(u'A' + (i + k) % 5));
        a.right = (i + k) % 3 != 0;
        e.answers << a;
    }
    return e;
}

// A connection of the test's own to a database file, closed when it goes.
class RawDatabase {
public:
    explicit RawDatabase(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        m_ok = db.open();
    }
    ~RawDatabase()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool ok() const { return m_ok; }
    // Runs each statement; false at the first that fails.
    bool run(const QStringList &statements)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        for (const QString &sql : statements)
            if (!q.exec(sql)) {
                qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
                return false;
            }
        return true;
    }
    // The rows of a query, columns joined by "|".
    QStringList rows(const QString &sql)
    {
        QStringList out;
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.exec(sql))
            return {QStringLiteral("error: ") + q.lastError().text()};
        while (q.next()) {
            QStringList cols;
            for (int c = 0; c < q.record().count(); ++c)
                cols << q.value(c).toString();
            out << cols.join(QLatin1Char('|'));
        }
        return out;
    }

private:
    QString m_name = QStringLiteral("test-%1").arg(quintptr(this));
    bool m_ok = false;
};

// Writes a history of the first schema, as the first version of the program wrote it: two exams,
// then the statements of extra.
bool writeVersion1(const QString &path, const QStringList &extra = {})
{
    RawDatabase raw(path);
    if (!raw.ok())
        return false;
    QStringList sql = {
        QStringLiteral("CREATE TABLE exams (id INTEGER PRIMARY KEY, type INTEGER NOT NULL, started TEXT NOT "
                       "NULL, finished TEXT NOT NULL, seconds INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE answers (exam INTEGER NOT NULL REFERENCES exams (id) ON DELETE CASCADE,"
                       " position INTEGER NOT NULL, number INTEGER NOT NULL, given TEXT NOT NULL, correct "
                       "INTEGER NOT NULL, PRIMARY KEY (exam, position)) WITHOUT ROWID"),
        QStringLiteral(
            "INSERT INTO exams VALUES (1, 3, '2026-11-30T08:00:00.000', '2026-11-30T08:40:00.000', "
            "2400)"),
        QStringLiteral(
            "INSERT INTO exams VALUES (2, 18, '2026-12-01T20:00:00.000', '2026-12-01T20:10:00.000', "
            "600)"),
        QStringLiteral("PRAGMA user_version = 1"),
    };
    for (int exam = 1; exam <= 2; ++exam)
        for (int p = 1; p <= 30; ++p) {
            // Exam 1 holds a study question and a number the bank does not hold.
            const int number = exam == 1 && p == 1 ? 1301 : exam == 1 && p == 2 ? 9999 : 100 * exam + p;
            sql << QStringLiteral("INSERT INTO answers VALUES (%1, %2, %3, '%4', %5)")
                       .arg(exam)
                       .arg(p)
                       .arg(number)
                       .arg(p % 4 ? QStringLiteral("B") : QString())
                       .arg(p % exam == 0 ? 1 : 0);
        }
    return raw.run(sql + extra);
}

// A disk that fills up when the test says: SQLite's own file layer, made the default for the
// test's lifetime, whose writes fail as a full disk's do (ENOSPC) while `full` is set.
class FullDisk {
public:
    FullDisk()
    {
        s_real = sqlite3_vfs_find(nullptr);
        m_vfs = *s_real;
        m_vfs.zName = "fulldisk";
        m_vfs.szOsFile = int(sizeof(File)) + s_real->szOsFile;
        m_vfs.xOpen = open;
        m_vfs.xGetLastError = [](sqlite3_vfs *, int, char *) { return full ? ENOSPC : 0; };
        sqlite3_vfs_register(&m_vfs, 1);
    }
    ~FullDisk()
    {
        sqlite3_vfs_register(s_real, 1);
        sqlite3_vfs_unregister(&m_vfs);
        full = false;
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;
    static inline std::atomic<bool> full{false};

private:
    struct File {
        sqlite3_file base;
        sqlite3_file *real;
    };
    static sqlite3_file *real(sqlite3_file *f) { return reinterpret_cast<File *>(f)->real; }
    static const sqlite3_io_methods *methods(sqlite3_file *f) { return real(f)->pMethods; }
    static int open(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags)
    {
        auto *file = reinterpret_cast<File *>(f);
        file->base.pMethods = nullptr;
        file->real = reinterpret_cast<sqlite3_file *>(file + 1);
        const int rc = s_real->xOpen(s_real, name, file->real, flags, outFlags);
        if (rc == SQLITE_OK && file->real->pMethods)
            file->base.pMethods = &kForward;
        return rc;
    }
    // Every method goes to the real file but a write while the disk is full.
    static constexpr sqlite3_io_methods kForward = {
        3,
        [](sqlite3_file *f) { return methods(f)->xClose(real(f)); },
        [](sqlite3_file *f, void *data, int n, sqlite3_int64 at) {
            return methods(f)->xRead(real(f), data, n, at);
        },
        [](sqlite3_file *f, const void *data, int n, sqlite3_int64 at) {
            if (full) {
                errno = ENOSPC;
                return SQLITE_IOERR_WRITE;
            }
            return methods(f)->xWrite(real(f), data, n, at);
        },
        [](sqlite3_file *f, sqlite3_int64 size) { return methods(f)->xTruncate(real(f), size); },
        [](sqlite3_file *f, int flags) { return methods(f)->xSync(real(f), flags); },
        [](sqlite3_file *f, sqlite3_int64 *size) { return methods(f)->xFileSize(real(f), size); },
        [](sqlite3_file *f, int lock) { return methods(f)->xLock(real(f), lock); },
        [](sqlite3_file *f, int lock) { return methods(f)->xUnlock(real(f), lock); },
        [](sqlite3_file *f, int *out) { return methods(f)->xCheckReservedLock(real(f), out); },
        [](sqlite3_file *f, int op, void *arg) { return methods(f)->xFileControl(real(f), op, arg); },
        [](sqlite3_file *f) { return methods(f)->xSectorSize(real(f)); },
        [](sqlite3_file *f) { return methods(f)->xDeviceCharacteristics(real(f)); },
        [](sqlite3_file *f, int page, int size, int extend, void volatile **out) {
            return methods(f)->xShmMap(real(f), page, size, extend, out);
        },
        [](sqlite3_file *f, int offset, int n, int flags) {
            return methods(f)->xShmLock(real(f), offset, n, flags);
        },
        [](sqlite3_file *f) { methods(f)->xShmBarrier(real(f)); },
        [](sqlite3_file *f, int drop) { return methods(f)->xShmUnmap(real(f), drop); },
        [](sqlite3_file *f, sqlite3_int64 at, int n, void **out) {
            return methods(f)->xFetch(real(f), at, n, out);
        },
        [](sqlite3_file *f, sqlite3_int64 at, void *p) { return methods(f)->xUnfetch(real(f), at, p); },
    };

    static inline sqlite3_vfs *s_real = nullptr;
    sqlite3_vfs m_vfs{};
};

const QString kCannot = QStringLiteral("O histórico de estudo não pode ser guardado: ");

// A CSV field as a spreadsheet reads it: quoted when it holds ';', '"' or a line break.
QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(';') || bytes.contains('"') || bytes.contains('\n'))
        bytes = '"' + bytes.replace("\"", "\"\"") + '"';
    return bytes;
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void storedAndReloaded();
    void totalsFromAKnownHistory();
    void revealedAndUnseenAnswersAreNotKnown();
    void migratedFromVersion1();
    void failedMigrationChangesNothing();
    void migratedOffTheWindowsThread();
    void unusableFileSetAside_data();
    void unusableFileSetAside();
    void damagedFileSalvaged();
    void nowhereToKeepIt();
    void fullDiskTriedAgain();
    void busyHistoryTriedAgain();
    void unwritableJournalsNamed();
    void oddJournalSetAsideAlone_data();
    void oddJournalSetAsideAlone();
    void newerVersionLeftAlone();
    void exportedAsCsv();
    void backupAndRestore();
    void instanceFollowsTheDataFolder();
    void killedWhileStoring();

private:
    QTemporaryDir m_dir;
    QString file(const QString &name) const { return m_dir.filePath(name); }
};

void TestHistory::storedAndReloaded()
{
    const QString path = file(QStringLiteral("reload.sqlite"));
    HistoryExam first = makeExam(1, 7);
    // A study question, a number the bank does not hold, and today's format's shown order.
    first.answers[0].number = 1301;
    first.answers[1].number = 9999;
    first.answers[2].shown = QStringLiteral("3152");
    first.end = first.end.toOffsetFromUtc(-3 * 3600); // taken where the clock was three hours behind UTC
    HistoryExam second = makeExam(2, kTodayFormatType);
    second.start = QDateTime(); // a start never set comes back unset
    {
        History h(path);
        QVERIFY(h.isOpen());
        QCOMPARE(h.problem(), QString());
        QCOMPARE(h.path(), path);
        QCOMPARE(h.store(first), 1);
        QCOMPARE(h.store(second), 2);
        QVERIFY(h.storeDrillAnswer({1301, QDateTime(QDate(2026, 12, 8), QTime(10, 0)), true,
                                    DrillAnswer::Confidence::Guessed, DrillAnswer::Kind::Subject}));
        QVERIFY(h.storeDrillAnswer({40, QDateTime(QDate(2026, 12, 9), QTime(11, 5, 7, 9)), false}));
    }
    History h(path);
    QVERIFY(h.isOpen());
    QCOMPARE(h.problem(), QString());
    const QList<HistoryExam> exams = h.exams();
    QCOMPARE(exams.size(), 2);
    const HistoryExam *expected[] = {&first, &second};
    for (int k = 0; k < 2; ++k) {
        const HistoryExam &got = exams[k];
        const HistoryExam &want = *expected[k];
        QCOMPARE(got.id, k + 1);
        QCOMPARE(got.type, want.type);
        QCOMPARE(got.start, want.start);
        QCOMPARE(got.end, want.end);
        QCOMPARE(got.seconds, want.seconds);
        QCOMPARE(got.right(), want.right());
        QCOMPARE(got.answers.size(), 30);
        for (int i = 0; i < 30; ++i) {
            QCOMPARE(got.answers[i].number, want.answers[i].number);
            QCOMPARE(got.answers[i].given, want.answers[i].given);
            QCOMPARE(got.answers[i].right, want.answers[i].right);
            QCOMPARE(got.answers[i].shown, want.answers[i].shown);
            QCOMPARE(got.answers[i].subject, Subjects::of(want.answers[i].number));
        }
    }
    QVERIFY(!exams[1].start.isValid());
    // The local time and offset of the moment, to the millisecond, not only the moment.
    QCOMPARE(exams[0].end.toString(Qt::ISODateWithMs), first.end.toString(Qt::ISODateWithMs));
    QCOMPARE(exams[0].answers[0].subject, int(Subjects::Sinalizacao));
    QCOMPARE(exams[0].answers[1].subject, -1);
    QCOMPARE(exams[0].answers[3].subject, int(Subjects::DirecaoDefensiva));
    // The drill reads only the wrong answers, each exam still in its place.
    const QList<HistoryExam> wrong = h.exams(History::Answers::WrongOnly);
    QCOMPARE(wrong.size(), 2);
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(wrong[k].id, exams[k].id);
        QList<int> numbers;
        for (const HistoryAnswer &a : exams[k].answers)
            if (!a.right)
                numbers << a.number;
        QList<int> got;
        for (const HistoryAnswer &a : wrong[k].answers)
            got << a.number;
        QCOMPARE(got, numbers);
    }
    // The memory's read: every answer, its marks as stored, without the letters.
    const QList<HistoryExam> marks = h.exams(History::Answers::Marks);
    QCOMPARE(marks.size(), 2);
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(marks[k].end, exams[k].end);
        QCOMPARE(marks[k].answers.size(), exams[k].answers.size());
        for (qsizetype i = 0; i < marks[k].answers.size(); ++i) {
            const HistoryAnswer &a = marks[k].answers[i];
            const HistoryAnswer &b = exams[k].answers[i];
            QVERIFY(a.number == b.number && a.right == b.right && a.seen == b.seen &&
                    a.revealed == b.revealed && a.subject == b.subject);
            QVERIFY(a.given.isEmpty() && a.shown.isEmpty());
        }
    }

    const QList<HistorySummary> summaries = h.summaries();
    QCOMPARE(summaries.size(), 2);
    QCOMPARE(summaries[0].id, 1);
    QCOMPARE(summaries[0].type, 7);
    QCOMPARE(summaries[0].start, first.start);
    QCOMPARE(summaries[0].end, first.end);
    QCOMPARE(summaries[0].seconds, first.seconds);
    QCOMPARE(summaries[0].right, first.right());
    QCOMPARE(summaries[0].total, 30);
    QCOMPARE(summaries[1].type, kTodayFormatType);

    const QList<DrillAnswer> drill = h.drillAnswers();
    QCOMPARE(drill.size(), 2);
    QCOMPARE(drill[0].number, 1301);
    QCOMPARE(drill[0].at, QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
    QCOMPARE(drill[0].right, true);
    QCOMPARE(drill[0].confidence, DrillAnswer::Confidence::Guessed);
    QCOMPARE(drill[0].kind, DrillAnswer::Kind::Subject);
    QCOMPARE(drill[1].number, 40);
    QCOMPARE(drill[1].confidence, DrillAnswer::Confidence::NotAsked);
    QCOMPARE(drill[1].kind, DrillAnswer::Kind::Review);
    QCOMPARE(drill[1].at, QDateTime(QDate(2026, 12, 9), QTime(11, 5, 7, 9)));
    QCOMPARE(drill[1].right, false);

    RawDatabase raw(path);
    QVERIFY(raw.ok());
    QCOMPARE(raw.rows(QStringLiteral("PRAGMA journal_mode")), QStringList{QStringLiteral("wal")});
    QCOMPARE(raw.rows(QStringLiteral("PRAGMA user_version")), QStringList{QStringLiteral("4")});
}

void TestHistory::totalsFromAKnownHistory()
{
    History h(file(QStringLiteral("totals.sqlite")));
    QVERIFY(h.isOpen());
    // Empty: seven subjects, nothing in any.
    QCOMPARE(h.subjectTotals().size(), Subjects::kCount);
    for (const SubjectTotal &t : h.subjectTotals(5))
        QCOMPARE(t.total, 0);
    QVERIFY(h.summaries().isEmpty());

    constexpr int kExams = 9;
    int all[Subjects::kCount][2] = {}, last5[Subjects::kCount][2] = {};
    for (int k = 0; k < kExams; ++k) {
        const HistoryExam e = makeExam(k);
        QCOMPARE(h.store(e), k + 1);
        for (int i = 0; i < 30; ++i) {
            const int s = i % Subjects::kCount;
            all[s][0] += e.answers[i].right;
            all[s][1] += 1;
            if (k >= kExams - 5) {
                last5[s][0] += e.answers[i].right;
                last5[s][1] += 1;
            }
        }
    }
    const QList<SubjectTotal> totalAll = h.subjectTotals(0);
    const QList<SubjectTotal> totalLast = h.subjectTotals(5);
    QCOMPARE(totalAll.size(), Subjects::kCount);
    QCOMPARE(totalLast.size(), Subjects::kCount);
    for (int s = 0; s < Subjects::kCount; ++s) {
        QCOMPARE(totalAll[s].right, all[s][0]);
        QCOMPARE(totalAll[s].total, all[s][1]);
        QCOMPARE(totalLast[s].right, last5[s][0]);
        QCOMPARE(totalLast[s].total, last5[s][1]);
    }
    QVERIFY(totalLast[0].right != totalAll[0].right);
    // More than there are: all of them.
    const QList<SubjectTotal> beyond = h.subjectTotals(50);
    for (int s = 0; s < Subjects::kCount; ++s)
        QCOMPARE(beyond[s].total, all[s][1]);
    // The last one alone.
    const HistoryExam lastExam = makeExam(kExams - 1);
    QCOMPARE(h.subjectTotals(1)[0].total, 5); // positions 0, 7, 14, 21, 28
    int lastRight = 0;
    for (int i = 0; i < 30; i += Subjects::kCount)
        lastRight += lastExam.answers[i].right;
    QCOMPARE(h.subjectTotals(1)[0].right, lastRight);

    const QList<HistorySummary> summaries = h.summaries();
    QCOMPARE(summaries.size(), kExams);
    for (int k = 0; k < kExams; ++k) {
        QCOMPARE(summaries[k].id, k + 1);
        QCOMPARE(summaries[k].right, makeExam(k).right());
        QCOMPARE(summaries[k].total, 30);
    }
}

void TestHistory::migratedFromVersion1()
{
    const QString path = file(QStringLiteral("version1.sqlite"));
    QVERIFY(writeVersion1(path));
    History h(path);
    QVERIFY(h.isOpen());
    QCOMPARE(h.problem(), QString());
    const QList<HistoryExam> exams = h.exams();
    QCOMPARE(exams.size(), 2);
    QCOMPARE(exams[0].type, 3);
    QCOMPARE(exams[0].start, QDateTime(QDate(2026, 11, 30), QTime(8, 0)));
    QCOMPARE(exams[1].end, QDateTime(QDate(2026, 12, 1), QTime(20, 10)));
    QCOMPARE(exams[1].seconds, 600);
    QCOMPARE(exams[0].answers.size(), 30);
    QCOMPARE(exams[0].answers[0].subject, int(Subjects::Sinalizacao));
    QCOMPARE(exams[0].answers[1].subject, -1);
    QCOMPARE(exams[0].answers[2].number, 103);
    QCOMPARE(exams[0].answers[2].subject, int(Subjects::Circulacao));
    QCOMPARE(exams[1].answers[29].number, 230);
    QCOMPARE(exams[1].answers[29].subject, int(Subjects::Sinalizacao));
    QCOMPARE(exams[0].answers[3].given, QString());
    QCOMPARE(exams[0].answers[4].given, QStringLiteral("B"));
    QCOMPARE(exams[0].answers[4].shown, QString());
    const QList<HistorySummary> summaries = h.summaries();
    QCOMPARE(summaries[0].right, 30);
    QCOMPARE(summaries[1].right, 15);
    QCOMPARE(summaries[1].total, 30);
    QCOMPARE(h.subjectTotals()[Subjects::Sinalizacao].total, 1 + 30);
    // What version 2 added works.
    QVERIFY(h.storeDrillAnswer({1301, QDateTime(QDate(2026, 12, 8), QTime(10, 0)), true}));
    QCOMPARE(h.drillAnswers().size(), 1);
    QCOMPARE(h.store(makeExam(3)), 3);
    RawDatabase raw(path);
    QCOMPARE(raw.rows(QStringLiteral("PRAGMA user_version")), QStringList{QStringLiteral("4")});
    // Made the same as a file the program starts afresh.
    History fresh(file(QStringLiteral("fresh.sqlite")));
    QVERIFY(fresh.isOpen());
    RawDatabase rawFresh(fresh.path());
    const QString schema =
        QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name");
    QCOMPARE(raw.rows(schema), rawFresh.rows(schema));
}

// An older history met at the first use is migrated through the runner, on its thread, and then
// opened with nothing left to do; a current one never goes through it.
void TestHistory::migratedOffTheWindowsThread()
{
    TempProgramFolder folder;
    FakeDialogs dialogs;
    const QString path = ProgramFolder::dataFile(QStringLiteral("historico.sqlite"));
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(writeVersion1(path));
    QVERIFY(History::needsMigration(path));
    QStringList said;
    bool elsewhere = false;
    StudyHistory::setRunner([&](const QString &what, const std::function<void()> &work) {
        said << what;
        std::thread worker([&] {
            work();
            elsewhere = QThread::currentThread() != qApp->thread();
        });
        worker.join();
    });
    History &h = StudyHistory::get();
    QCOMPARE(said, QStringList{
                       QStringLiteral("Atualizando o histórico de estudo para esta versão do programa...")});
    QVERIFY(elsewhere);
    QVERIFY(!History::needsMigration(path));
    QVERIFY(h.isOpen());
    QCOMPARE(h.exams().size(), 2);
    QCOMPARE(StudyHistory::store(makeExam(5)), 3);
    StudyHistory::get();
    QCOMPARE(said.size(), 1);
    QCOMPARE(dialogs.texts(), QStringList());
    StudyHistory::setRunner(nullptr);
}

void TestHistory::failedMigrationChangesNothing()
{
    // A table of the second schema already there: the migration fails at its last step, the file
    // is set aside as unusable, and what is set aside is the first version untouched.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    QVERIFY(writeVersion1(path, {QStringLiteral("CREATE TABLE exam_subjects (x)")}));
    FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 0)));
    History h(path);
    QVERIFY(h.isOpen());
    QVERIFY(h.problem().contains(QStringLiteral("historico.sqlite.danificado-20261208-101500;")));
    // Its two exams, whole, are copied into the fresh history.
    QVERIFY2(h.problem().endsWith(QStringLiteral(" por inteiro: 2 provas.")), qPrintable(h.problem()));
    QCOMPARE(h.exams().size(), 2);
    RawDatabase raw(dir.filePath(QStringLiteral("historico.sqlite.danificado-20261208-101500")));
    QCOMPARE(raw.rows(QStringLiteral("PRAGMA user_version")), QStringList{QStringLiteral("1")});
    QCOMPARE(raw.rows(QStringLiteral("SELECT count(*) FROM answers")), QStringList{QStringLiteral("60")});
    QCOMPARE(raw.rows(QStringLiteral("SELECT count(*) FROM pragma_table_info('answers')")),
             QStringList{QStringLiteral("5")});
    QCOMPARE(raw.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE name = 'drill_answers'")),
             QStringList());
}

void TestHistory::unusableFileSetAside_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("sentence");
    const QString damaged =
        QStringLiteral("O histórico de estudo estava danificado e foi guardado como %1; um "
                       "histórico novo foi começado.");
    QTest::newRow("garbage") << QStringLiteral("garbage") << damaged;
    QTest::newRow("damaged page") << QStringLiteral("damaged page") << damaged;
    QTest::newRow("another program's database") << QStringLiteral("foreign") << damaged;
    QTest::newRow("a view in its place") << QStringLiteral("view") << damaged;
    QTest::newRow("a trigger") << QStringLiteral("trigger") << damaged;
    const QString notFile =
        QStringLiteral("No lugar do histórico de estudo havia algo que não é um arquivo comum, "
                       "agora guardado como %1; um histórico novo foi começado.");
    QTest::newRow("fifo") << QStringLiteral("fifo") << notFile;
    QTest::newRow("folder") << QStringLiteral("folder") << notFile;
}

void TestHistory::unusableFileSetAside()
{
    QFETCH(QString, kind);
    QFETCH(QString, sentence);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    QByteArray original;
    if (kind == QLatin1String("garbage")) {
        original = QByteArray("not a database at all\n").repeated(100);
        QVERIFY(writeFile(path, original));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else {
        {
            History good(path);
            for (int k = 0; k < 40; ++k)
                QVERIFY(good.store(makeExam(k)) > 0);
        }
        RawDatabase raw(path);
        QVERIFY(raw.ok());
        if (kind == QLatin1String("view"))
            // A view that never ends, where the list of exams is read.
            QVERIFY(raw.run(
                {QStringLiteral("ALTER TABLE exams RENAME TO old_exams"),
                 QStringLiteral("CREATE VIEW exams AS WITH RECURSIVE n(id) AS (SELECT 1 UNION ALL "
                                "SELECT id + 1 FROM n) SELECT id, 1 AS type, '' AS started, '' AS "
                                "finished, 0 AS seconds, 0 AS right_count, 0 AS total_count FROM n")}));
        else if (kind == QLatin1String("trigger"))
            // A store that never ends.
            QVERIFY(
                raw.run({QStringLiteral("CREATE TRIGGER forever AFTER INSERT ON drill_answers BEGIN INSERT "
                                        "INTO drill_answers SELECT * FROM drill_answers; END")}));
        else if (kind == QLatin1String("foreign"))
            QVERIFY(raw.run({QStringLiteral("PRAGMA user_version = 0")}));
        QVERIFY(raw.run({QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")}));
    }
    if (kind == QLatin1String("damaged page")) {
        // Scribbles over the middle of the file, where the answers' pages are.
        QByteArray bytes = readFile(path);
        QVERIFY(bytes.size() > 16384);
        for (qsizetype i = 4096; i < bytes.size() - 4096; i += 7)
            bytes[i] = char(0x5a);
        QVERIFY(writeFile(path, bytes));
        original = bytes;
    }

    FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 0)));
    const QString aside = QStringLiteral("historico.sqlite.danificado-20261208-101500");
    {
        History h(path);
        QVERIFY(h.isOpen());
        QCOMPARE(h.problem(), sentence.arg(aside));
        QVERIFY(h.exams().isEmpty());
        QCOMPARE(h.store(makeExam(1)), 1);
        QCOMPARE(h.exams().size(), 1);
    }
    const QFileInfo kept(dir.filePath(aside));
    QVERIFY(kept.exists());
    if (!original.isEmpty())
        QCOMPARE(readFile(kept.filePath()), original);
    if (kind == QLatin1String("fifo"))
        QVERIFY(!kept.isFile());
    // Reopened, the fresh history is fine and keeps what was stored.
    {
        History h(path);
        QCOMPARE(h.problem(), QString());
        QCOMPARE(h.exams().size(), 1);
    }
    // Damaged again in the same second: a name of its own.
    QVERIFY(QFile::remove(path));
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QVERIFY(writeFile(path, QByteArray(4096, 'x')));
    History again(path);
    QVERIFY(again.isOpen());
    QVERIFY2(again.problem().contains(aside + QStringLiteral("-2;")), qPrintable(again.problem()));
    QVERIFY(QFileInfo::exists(dir.filePath(aside + QStringLiteral("-2"))));
}

// One page of random bytes costs only the exams on it: every exam that can still be read whole is
// copied into the fresh history. And a damage only the full check finds (an index that does not
// match its table) is found after an unclean end.
void TestHistory::damagedFileSalvaged()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    constexpr int kExams = 300;
    {
        History h(path);
        for (int k = 0; k < kExams; ++k)
            QVERIFY(h.store(makeExam(k)) > 0);
        QVERIFY(h.storeDrillAnswer({5, QDateTime(QDate(2026, 12, 3), QTime(8, 0)), true}));
    }
    QByteArray bytes = readFile(path);
    const qsizetype pages = bytes.size() / 4096;
    QVERIFY(pages > 40);
    QRandomGenerator random(40);
    for (qsizetype i = 0; i < 4096; ++i)
        bytes[(pages / 2) * 4096 + i] = char(random.bounded(256));
    QVERIFY(writeFile(path, bytes));

    const QRegularExpression saved(
        QStringLiteral("novo foi começado com o que ainda pôde ser lido por inteiro: "
                       "(\\d+) provas e 1 resposta do treino\\.$"));
    {
        History h(path);
        QVERIFY(h.isOpen());
        const QRegularExpressionMatch match = saved.match(h.problem());
        QVERIFY2(match.hasMatch(), qPrintable(h.problem()));
        const int kept = match.captured(1).toInt();
        QVERIFY2(kept >= kExams - 30 && kept < kExams, qPrintable(match.captured(1)));
        // Each one as it was stored, in the order it was.
        const QList<HistoryExam> exams = h.exams();
        QCOMPARE(exams.size(), kept);
        int k = 0;
        for (const HistoryExam &e : exams) {
            while (k < kExams && makeExam(k).start != e.start)
                ++k;
            QVERIFY(k < kExams);
            const HistoryExam original = makeExam(k);
            QCOMPARE(e.seconds, original.seconds);
            QCOMPARE(e.answers.size(), 30);
            for (int i = 0; i < 30; ++i) {
                QCOMPARE(e.answers[i].given, original.answers[i].given);
                QCOMPARE(e.answers[i].right, original.answers[i].right);
            }
        }
        QCOMPARE(h.drillAnswers().size(), 1);
    }

    // Only the full check sees this index's damage; after an unclean end (a log left with
    // something in it: here another connection still holds it) the full check runs.
    const QString second = dir.filePath(QStringLiteral("second.sqlite"));
    {
        History h(second);
        for (int k = 0; k < 20; ++k)
            QVERIFY(h.store(makeExam(k)) > 0);
    }
    RawDatabase raw(second);
    QVERIFY(
        raw.run({QStringLiteral("CREATE INDEX answers_by_number ON answers (number)"),
                 QStringLiteral("PRAGMA writable_schema = ON"),
                 QStringLiteral("UPDATE sqlite_master SET sql = 'CREATE INDEX answers_by_number ON answers "
                                "(given)' WHERE name = 'answers_by_number'")}));
    QCOMPARE(raw.rows(QStringLiteral("PRAGMA quick_check")), QStringList{QStringLiteral("ok")});
    QVERIFY(QFileInfo(second + QStringLiteral("-wal")).size() > 0);
    History h(second);
    QVERIFY(h.isOpen());
    QVERIFY2(h.problem().endsWith(QStringLiteral("por inteiro: 20 provas.")), qPrintable(h.problem()));
    QCOMPARE(h.exams().size(), 20);
}

void TestHistory::nowhereToKeepIt()
{
    QTemporaryDir dir;
    // No data folder at all, and a folder that cannot be made (a file stands in its way).
    QVERIFY(writeFile(dir.filePath(QStringLiteral("blocker")), "x"));
    for (const QString &path : {QString(), dir.filePath(QStringLiteral("blocker/sub/historico.sqlite"))}) {
        History h(path);
        QVERIFY(!h.isOpen());
        QVERIFY2(h.problem().startsWith(kCannot), qPrintable(h.problem()));
        QVERIFY(h.problem().size() > kCannot.size() + 10);
        QCOMPARE(h.store(makeExam(1)), 0);
        QVERIFY(h.exams().isEmpty());
        QVERIFY(h.summaries().isEmpty());
        const QList<SubjectTotal> totals = h.subjectTotals(5);
        QCOMPARE(totals.size(), Subjects::kCount);
        for (const SubjectTotal &t : totals)
            QCOMPARE(t.total, 0);
        QVERIFY(!h.storeDrillAnswer({1, QDateTime::currentDateTime(), true}));
        QVERIFY(h.drillAnswers().isEmpty());
        QString error;
        QVERIFY(!h.exportCsv(dir.filePath(QStringLiteral("out.csv")), &error));
        QVERIFY(!error.isEmpty());
    }
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("blocker"))).isFile());
}

// A full disk at the first use, and again later: the cause is named, the next store tries again,
// and the user hears once that storing works again.
void TestHistory::fullDiskTriedAgain()
{
    FullDisk disk;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    const QString full = kCannot + QStringLiteral("o disco onde ele fica está cheio (libere espaço nele).");
    FullDisk::full = true;
    History h(path);
    QVERIFY(!h.isOpen());
    QCOMPARE(h.problem(), full);
    QCOMPARE(h.store(makeExam(1)), 0);
    QCOMPARE(h.problem(), full);
    FullDisk::full = false;
    QCOMPARE(h.store(makeExam(2)), 1);
    QVERIFY(h.isOpen());
    QCOMPARE(h.problem(), QString());
    // Full while open: the exam and the drill answer are not kept, and are once there is room.
    FullDisk::full = true;
    QCOMPARE(h.store(makeExam(3)), 0);
    QCOMPARE(h.problem(), full);
    QVERIFY(!h.storeDrillAnswer({1, QDateTime::currentDateTime(), true}));
    FullDisk::full = false;
    QCOMPARE(h.store(makeExam(4)), 2);
    QVERIFY(h.storeDrillAnswer({1, QDateTime::currentDateTime(), true}));
    QCOMPARE(h.problem(), QString());
    QCOMPARE(h.exams().size(), 2);
    QCOMPARE(h.exams().value(1).seconds, makeExam(4).seconds);

    // As the windows store: the cause told once, and once that storing works again.
    TempProgramFolder folder;
    FakeDialogs dialogs;
    FullDisk::full = true;
    QCOMPARE(StudyHistory::store(makeExam(1)), 0);
    QCOMPARE(StudyHistory::store(makeExam(2)), 0);
    FullDisk::full = false;
    QCOMPARE(StudyHistory::store(makeExam(3)), 1);
    QCOMPARE(StudyHistory::store(makeExam(4)), 2);
    QCOMPARE(dialogs.texts(),
             QStringList({full, QStringLiteral("O histórico de estudo voltou a funcionar: o que "
                                               "foi feito agora já está guardado nele.")}));
}

// Another program holding the history: it is said to be in use (not that it cannot be made), and
// the next store, once it is free, works.
void TestHistory::busyHistoryTriedAgain()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    {
        History h(path);
        QCOMPARE(h.store(makeExam(1)), 1);
    }
    auto other = std::make_unique<RawDatabase>(path);
    QVERIFY(other->run({QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"), QStringLiteral("BEGIN IMMEDIATE"),
                        QStringLiteral("UPDATE exams SET seconds = seconds"), QStringLiteral("COMMIT")}));
    History h(path);
    QVERIFY(!h.isOpen());
    QCOMPARE(h.problem(),
             kCannot + QStringLiteral("o arquivo %1 está em uso por outro programa (outra cópia do "
                                      "Quelvado?) e não ficou livre a tempo.")
                           .arg(path));
    other.reset();
    QCOMPARE(h.store(makeExam(2)), 2);
    QCOMPARE(h.problem(), QString());
}

// What a killed `sudo quelvado` leaves: the log and its index owned by root. Opening says which
// files, why and what to do, and leaves them (and the exams the log may hold) where they are.
void TestHistory::unwritableJournalsNamed()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    {
        History h(path);
        QCOMPARE(h.store(makeExam(1)), 1);
    }
    const QString wal = path + QStringLiteral("-wal"), shm = path + QStringLiteral("-shm");
    QVERIFY(writeFile(wal, QByteArray()));
    QVERIFY(writeFile(shm, QByteArray()));
    // Root's files where the test may make them (it runs as root), the user's own read-only ones
    // otherwise; the check is the fake either way, as root may write any file.
    const bool root = ::chown(QFile::encodeName(wal).constData(), 65534, 65534) == 0 &&
                      ::chown(QFile::encodeName(shm).constData(), 65534, 65534) == 0;
    History::setWriteCheck([](const QString &name) {
        return !name.endsWith(QLatin1String("-wal")) && !name.endsWith(QLatin1String("-shm"));
    });
    {
        History h(path);
        QVERIFY(!h.isOpen());
        const QString files = QStringLiteral("\"%1\" \"%2\"").arg(wal, shm);
        QVERIFY2(h.problem().startsWith(
                     kCannot + QStringLiteral("os arquivos %1, %2 não permitem gravar").arg(wal, shm)),
                 qPrintable(h.problem()));
        QVERIFY2(h.problem().contains(root ? QStringLiteral("sudo chown \"$USER\": ") + files
                                           : QStringLiteral("chmod u+w ") + files),
                 qPrintable(h.problem()));
        QCOMPARE(h.store(makeExam(2)), 0);
    }
    // A folder that does not allow writing, where the log must be made.
    QVERIFY(QFile::remove(wal) && QFile::remove(shm));
    static QString folder;
    folder = dir.path();
    History::setWriteCheck([](const QString &name) { return name != folder; });
    {
        History h(path);
        QVERIFY(!h.isOpen());
        QCOMPARE(h.problem(),
                 kCannot + QStringLiteral("a pasta %1 não permite gravar; devolva a permissão a seu "
                                          "usuário (num terminal: sudo chown \"$USER\": \"%1\").")
                               .arg(folder));
    }
    History::setWriteCheck(nullptr);
    History h(path);
    QCOMPARE(h.problem(), QString());
    QCOMPARE(h.exams().size(), 1);
}

void TestHistory::oddJournalSetAsideAlone_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("kind");
    QTest::newRow("fifo as the log") << QStringLiteral("-wal") << QStringLiteral("fifo");
    QTest::newRow("folder as the index") << QStringLiteral("-shm") << QStringLiteral("folder");
    QTest::newRow("link to /dev/zero as the log") << QStringLiteral("-wal") << QStringLiteral("device");
}

// Something odd where SQLite keeps its log: that alone is set aside, the sound history is kept.
void TestHistory::oddJournalSetAsideAlone()
{
    QFETCH(QString, suffix);
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    {
        History h(path);
        for (int k = 0; k < 40; ++k)
            QVERIFY(h.store(makeExam(k)) > 0);
    }
    const QByteArray name = QFile::encodeName(path + suffix);
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path + suffix));
    else
        QCOMPARE(::symlink("/dev/zero", name.constData()), 0);
    FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 0)));
    History h(path);
    QVERIFY(h.isOpen());
    const QString aside = QStringLiteral("historico.sqlite%1.danificado-20261208-101500").arg(suffix);
    QCOMPARE(h.problem(),
             QStringLiteral("No lugar do arquivo historico.sqlite%1, que acompanha o histórico de "
                            "estudo, havia algo que não é um arquivo comum, agora guardado como "
                            "%2; o histórico foi mantido.")
                 .arg(suffix, aside));
    QCOMPARE(h.exams().size(), 40);
    QCOMPARE(h.store(makeExam(41)), 41);
    QVERIFY(QFileInfo(dir.filePath(aside)).exists() || QFileInfo(dir.filePath(aside)).isSymLink());
    QCOMPARE(
        QDir(dir.path())
            .entryList({QStringLiteral("historico.sqlite.danificado*")}, QDir::AllEntries | QDir::System),
        QStringList());
}

void TestHistory::newerVersionLeftAlone()
{
    const QString path = file(QStringLiteral("newer.sqlite"));
    {
        History good(path);
        for (int k = 0; k < 3; ++k)
            QVERIFY(good.store(makeExam(k)) > 0);
    }
    {
        RawDatabase raw(path);
        QVERIFY(raw.run({QStringLiteral("PRAGMA user_version = %1").arg(History::kSchemaVersion + 1),
                         QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")}));
    }
    const QByteArray before = readFile(path);
    {
        History h(path);
        QVERIFY(!h.isOpen());
        QVERIFY2(h.problem().startsWith(kCannot) && h.problem().contains(QStringLiteral("versão mais nova")),
                 qPrintable(h.problem()));
        QCOMPARE(h.store(makeExam(9)), 0);
    }
    // Nothing set aside, nothing started: the newer program finds its history as it left it.
    QCOMPARE(readFile(path), before);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList({QStringLiteral("newer.sqlite.*")}, QDir::Files),
             QStringList());
}

void TestHistory::exportedAsCsv()
{
    History h(file(QStringLiteral("export.sqlite")));
    HistoryExam e = makeExam(0, 5);
    e.answers[0].given = QStringLiteral("A;\"B\""); // the quoting is checked on what can hold it
    e.answers[1].number = 1301;
    e.answers[1].shown = QStringLiteral("4213");
    e.answers[1].revealed = true; // answered right, but after the traffic light: not known
    e.answers[2].given = QStringLiteral("=HYPERLINK(\"http://x\")"); // a formula: shown as text
    e.answers[3].given = QStringLiteral("@SUM(1)");
    e.answers[4].given = QStringLiteral("-1");
    QCOMPARE(h.store(e), 1);
    QCOMPARE(h.store(makeExam(1, 6)), 2); // "7 - Legislação" in the menu
    QVERIFY(h.storeDrillAnswer({1, QDateTime(QDate(2026, 12, 3), QTime(8, 0)), true}));

    const QString out = file(QStringLiteral("historico.csv"));
    // Cancelled: nothing written.
    QString error;
    QVERIFY(!h.exportCsv(out + QStringLiteral(".x"), &error, [](qint64, qint64) { return false; }));
    QCOMPARE(error, QString());
    QVERIFY(!QFileInfo::exists(out + QStringLiteral(".x")));
    QVERIFY(writeFile(out, "old contents\n"));
    // A second name for the old file: an export that wrote in place would change it too.
    const QString link = file(QStringLiteral("old.csv"));
    QCOMPARE(::link(QFile::encodeName(out).constData(), QFile::encodeName(link).constData()), 0);
    QVERIFY(h.exportCsv(out, &error));
    QCOMPARE(error, QString());
    QCOMPARE(readFile(link), QByteArray("old contents\n"));

    const QByteArray bytes = readFile(out);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(bytes.endsWith("\r\n"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 1 + 60 + 1); // header, one per answer, nothing after the last break
    // The columns files already written have, in their order, then the type as the menu names
    // it, the right letter as the candidate saw it and the question's text.
    QCOMPARE(lines[0], QStringLiteral("prova;tipo;inicio;fim;segundos;posicao;questao;materia;resposta;"
                                      "alternativas;certa;conferida;exibida;tipo_nome;gabarito;enunciado"));
    const QuestionBank &bank = QuestionBank::instance();
    const auto rightOf = [&](int number, const QString &shown) {
        const int right = bank.question(number)->text(QuestionKind::Answer).toInt();
        return QString(
            QChar(char16_t(u'A' + (shown.isEmpty() ? right - 1 : shown.indexOf(QString::number(right))))));
    };
    const auto textOf = [&](int number) {
        return QString::fromUtf8(csvField(bank.question(number)->text(QuestionKind::Text).simplified()));
    };
    QCOMPARE(lines[1], QStringLiteral("1;5;2026-12-01T09:15:30;2026-12-01T09:35:30;1200;1;1;Legislação;"
                                      "\"A;\"\"B\"\"\";;não;não;sim;5 - Geral;") +
                           rightOf(1, {}) + QLatin1Char(';') + textOf(1));
    QCOMPARE(lines[2],
             QStringLiteral("1;5;2026-12-01T09:15:30;2026-12-01T09:35:30;1200;2;1301;Sinalização;B;4213;"
                            "não;sim;sim;5 - Geral;") +
                 rightOf(1301, QStringLiteral("4213")) + QLatin1Char(';') + textOf(1301));
    QVERIFY2(lines[3].contains(QStringLiteral(";Sinalização;\"'=HYPERLINK(\"\"http://x\"\")\";;")),
             qPrintable(lines[3]));
    QVERIFY2(lines[4].contains(QStringLiteral(";'@SUM(1);;")), qPrintable(lines[4]));
    QVERIFY2(lines[5].contains(QStringLiteral(";'-1;;")), qPrintable(lines[5]));
    QVERIFY(lines[31].startsWith(QStringLiteral("2;6;2026-12-02T09:15:30;")));
    QVERIFY(lines[60].startsWith(QStringLiteral("2;6;")));
    QVERIFY(lines[60].contains(QStringLiteral(";30;130;Regras de Circulação;")));
    QVERIFY(lines[60].contains(QStringLiteral(";7 - Legislação;")));
    QVERIFY(lines[61].isEmpty());
    // The drill's answers, in a file of their own.
    QCOMPARE(History::drillCsvName(out), file(QStringLiteral("historico-treino.csv")));
    const QStringList drill =
        QString::fromUtf8(readFile(History::drillCsvName(out)).mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(drill.size(), 3);
    QCOMPARE(drill[0], QStringLiteral("questao;materia;quando;certa;gabarito;enunciado;seguranca;onde"));
    QCOMPARE(drill[1], QStringLiteral("1;Legislação;2026-12-03T08:00:00;sim;") + rightOf(1, {}) +
                           QLatin1Char(';') + textOf(1) + QStringLiteral(";;revisao"));

    // Nowhere to write: a clear error, nothing made.
    const QString nowhere = file(QStringLiteral("missing-folder/historico.csv"));
    QVERIFY(!h.exportCsv(nowhere, &error));
    QVERIFY2(error.startsWith(QStringLiteral("O arquivo ")), qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("não pôde ser criado")));
    QVERIFY(!QFileInfo::exists(nowhere));
}

// A copy made while the history is in use, restored over another history that still has exams
// in its log: the copy is what opens (the old log is never read as its own), the old history is
// kept aside whole, and copies that are not sound are refused with the history untouched.
void TestHistory::backupAndRestore()
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copia.sqlite"));
    {
        History other(dir.filePath(QStringLiteral("outro/historico.sqlite")));
        for (int k = 0; k < 3; ++k)
            QVERIFY(other.store(makeExam(k, 2)) > 0);
        QVERIFY(other.storeDrillAnswer({7, QDateTime(QDate(2026, 12, 2), QTime(8, 0)), false}));
        QVERIFY(writeFile(copy, "old contents"));
        QString error;
        QVERIFY2(other.backupTo(copy, &error), qPrintable(error)); // replaces what was there
        QVERIFY(!other.backupTo(dir.filePath(QStringLiteral("missing/copia.sqlite")), &error));
        QVERIFY2(error.contains(QStringLiteral("não pôde ser gravada")), qPrintable(error));
    }
    QVERIFY(!QFileInfo::exists(copy + QStringLiteral("-wal")));

    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 0)));
    History h(path);
    for (int k = 0; k < 5; ++k)
        QVERIFY(h.store(makeExam(10 + k)) > 0);
    QVERIFY(QFileInfo(path + QStringLiteral("-wal")).size() > 0); // the five exams are in the log

    // Not sound: another file, a damaged copy, a newer program's copy; nothing changes.
    const QString garbage = dir.filePath(QStringLiteral("lixo.sqlite"));
    QVERIFY(writeFile(garbage, QByteArray("not a history\n").repeated(400)));
    const QString newer = dir.filePath(QStringLiteral("nova.sqlite"));
    QVERIFY(QFile::copy(copy, newer));
    {
        RawDatabase raw(newer);
        QVERIFY(raw.run({QStringLiteral("PRAGMA user_version = %1").arg(History::kSchemaVersion + 1)}));
    }
    const QString damaged = dir.filePath(QStringLiteral("danificada.sqlite"));
    QVERIFY(QFile::copy(copy, damaged));
    {
        RawDatabase raw(damaged);
        QVERIFY(raw.run({QStringLiteral("CREATE INDEX answers_by_number ON answers (number)"),
                         QStringLiteral("PRAGMA writable_schema = ON"),
                         QStringLiteral("UPDATE sqlite_master SET sql = 'CREATE INDEX answers_by_number ON "
                                        "answers (given)' WHERE name = 'answers_by_number'")}));
    }
    const QStringList refusals = {QStringLiteral("não é uma cópia do histórico"),
                                  QStringLiteral("versão mais nova"), QStringLiteral("está danificada")};
    const QStringList bad = {garbage, newer, damaged};
    for (int i = 0; i < bad.size(); ++i) {
        QString message;
        QVERIFY(!h.restoreFrom(bad[i], &message));
        QVERIFY2(message.contains(refusals[i]), qPrintable(message));
        QVERIFY(h.isOpen());
        QCOMPARE(h.exams().size(), 5);
    }
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("historico.sqlite.*")}), QStringList());

    QString message;
    QVERIFY2(h.restoreFrom(copy, &message), qPrintable(message));
    QCOMPARE(message,
             QStringLiteral("A cópia foi restaurada: 3 provas. O histórico de antes foi guardado como "
                            "historico.sqlite.antes-da-copia-20261208-101500."));
    QVERIFY(h.isOpen());
    QCOMPARE(h.exams().size(), 3);
    QCOMPARE(h.exams().value(0).type, 2);
    QCOMPARE(h.drillAnswers().size(), 1);
    QCOMPARE(h.store(makeExam(20)), 4);
    {
        History again(path);
        QCOMPARE(again.problem(), QString());
        QCOMPARE(again.exams().size(), 4);
    }
    History before(dir.filePath(QStringLiteral("historico.sqlite.antes-da-copia-20261208-101500")));
    QCOMPARE(before.problem(), QString());
    QCOMPARE(before.exams().size(), 5);
    QCOMPARE(before.exams().value(0).seconds, makeExam(10).seconds);
}

void TestHistory::instanceFollowsTheDataFolder()
{
    QString first;
    {
        TempProgramFolder folder;
        History &h = History::instance();
        first = h.path();
        QCOMPARE(first, ProgramFolder::dataFile(QStringLiteral("historico.sqlite")));
        QVERIFY(first.startsWith(folder.path()));
        QVERIFY(h.isOpen());
        QCOMPARE(h.store(makeExam(1)), 1);
        QCOMPARE(&History::instance(), &h);
        QCOMPARE(History::instance().exams().size(), 1);
    }
    TempProgramFolder other;
    History &h = History::instance();
    QVERIFY(h.path() != first);
    QVERIFY(h.path().startsWith(other.path()));
    QVERIFY(h.isOpen());
    QVERIFY(h.exams().isEmpty());
}

void TestHistory::killedWhileStoring()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historico.sqlite"));
    QRandomGenerator random(20261208);
    // How long opening and one store take on this machine now, so the kills fall across both
    // however loaded the machine is.
    QProcess timing;
    QElapsedTimer clock;
    clock.start();
    timing.start(QStringLiteral(QUELVADO_HISTORYWORKER), {path});
    QVERIFY(timing.waitForReadyRead(10000));
    const int openMs = int(clock.elapsed());
    clock.restart();
    QByteArray seen = timing.readAll();
    while (seen.count("stored") < 11 && clock.elapsed() < 20000) {
        timing.waitForReadyRead(100);
        seen += timing.readAll();
    }
    const int storeMs = int(qMax<qint64>(1, clock.elapsed() / 10));
    timing.kill();
    QVERIFY(timing.waitForFinished(10000));

    int exams = 0, killedOpening = 0;
    constexpr int kTrials = 100;
    for (int trial = 0; trial < kTrials; ++trial) {
        QProcess worker;
        worker.start(QStringLiteral(QUELVADO_HISTORYWORKER), {path});
        QVERIFY(worker.waitForStarted(10000));
        // Every fourth trial is killed while the history opens (recovering the log the last kill
        // left), the others while it stores; the random moment is what is checked.
        if (trial % 4 == 0) {
            QTest::qSleep(int(random.bounded(openMs + 1)));
            ++killedOpening;
        } else {
            QVERIFY(worker.waitForReadyRead(10000));
            QTest::qSleep(int(random.bounded(4 * storeMs + 1)));
        }
        ::kill(static_cast<pid_t>(worker.processId()), SIGKILL);
        QVERIFY(worker.waitForFinished(10000));

        // Opened as the program opens it (recovering what the kill left in the log), then read
        // beside it.
        History h(path);
        QVERIFY(h.isOpen());
        QCOMPARE(h.problem(), QString());
        RawDatabase raw(path);
        QVERIFY(raw.ok());
        QCOMPARE(raw.rows(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
        const QStringList ids = raw.rows(QStringLiteral("SELECT id FROM exams ORDER BY id"));
        QVERIFY2(
            ids.size() >= exams,
            qPrintable(QStringLiteral("trial %1: %2 exams after %3").arg(trial).arg(ids.size()).arg(exams)));
        for (int i = 0; i < ids.size(); ++i)
            QCOMPARE(ids[i], QString::number(i + 1));
        // Every exam has its thirty answers and its counts, and no answer is without its exam.
        QCOMPARE(raw.rows(QStringLiteral(
                     "SELECT e.id FROM exams e WHERE e.total_count <> 30 OR"
                     " (SELECT count(*) FROM answers a WHERE a.exam = e.id) <> 30 OR"
                     " (SELECT sum(correct) FROM answers a WHERE a.exam = e.id) <> e.right_count")),
                 QStringList());
        QCOMPARE(raw.rows(QStringLiteral(
                     "SELECT e.id FROM exams e WHERE"
                     " (SELECT sum(total_count) FROM exam_subjects s WHERE s.exam = e.id) <> 30")),
                 QStringList());
        QCOMPARE(raw.rows(QStringLiteral("SELECT count(*) FROM answers")),
                 QStringList{QString::number(30 * ids.size())});
        exams = int(ids.size());
    }
    History h(path);
    QVERIFY(h.isOpen());
    QCOMPARE(h.problem(), QString());
    QCOMPARE(h.exams().size(), exams);
    qInfo("%d trials (opening takes about %d ms, a store %d ms; %d killed while opening): %d exams kept",
          kTrials, openMs, storeMs, killedOpening, exams);
    QVERIFY(exams > 0);
}

QTEST_GUILESS_MAIN(TestHistory)
// An answer the traffic light checked or wrote in counts as not known in every figure and enters
// the drill; a position never shown counts nowhere.
void TestHistory::revealedAndUnseenAnswersAreNotKnown()
{
    History h(file(QStringLiteral("honest.sqlite")));
    HistoryExam e = makeExam(0);
    for (HistoryAnswer &a : e.answers)
        a.right = true;
    e.answers[0].revealed = true;
    e.answers[1].seen = false;
    e.answers[2].seen = false;
    e.answers[2].right = false;
    QVERIFY(h.store(e) > 0);

    const HistorySummary summary = h.summaries().value(0);
    QCOMPARE(summary.right, 27);
    QCOMPARE(summary.total, 28);
    int right = 0, total = 0;
    for (const SubjectTotal &t : h.subjectTotals()) {
        right += t.right;
        total += t.total;
    }
    QCOMPARE(right, 27);
    QCOMPARE(total, 28);
    const QList<HistoryExam> wrong = h.exams(History::Answers::WrongOnly);
    QCOMPARE(wrong.value(0).answers.size(), 1);
    QCOMPARE(wrong.value(0).answers[0].number, e.answers[0].number);
    QVERIFY(wrong.value(0).answers[0].revealed);
    // In the memory: the light-checked one forgotten, the unseen ones not answered at all.
    const Memory::State memory = Memory::replay(h.exams(), {});
    QCOMPARE(memory.answers, 28);
    QVERIFY(!memory.questions.contains(e.answers[1].number));
    QVERIFY(!memory.questions.contains(e.answers[2].number));
    QCOMPARE(memory.questions.value(e.answers[0].number).card.stability, Fsrs::kDefaultWeights[0]);
}

#include "tst_history.moc"
