#include "history.h"

#include "common/clock.h"
#include "common/programfolder.h"
#include "common/safefile.h"
#include "subjects.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <cstdio>
#include <limits>
#include <memory>

// The schema, version by version. Each step takes the file from the version before it to its own
// and runs in the same transaction as the others, so a file is always at one version or the next.
//
// Version 1: the exams (type, start and end as ISO 8601 local date-times, time taken in seconds)
// and their answers (the question's number, the letter given, whether it was right), one row per
// position.
//
// Version 2: each answer also keeps the order its alternatives were shown in (today's format) and
// its subject (worked out from the number when the file is migrated); each exam keeps its right
// and total counts, and its counts per subject in exam_subjects, so the list of exams and the
// totals per subject read a row per exam or per subject of an exam, never the answers; the drill's
// answers get a table of their own.
//
// Dates are ISO 8601 text with milliseconds and the offset from UTC they were taken at: read back,
// they need no look-up of the local time zone (slow enough to matter for a thousand exams).

namespace {

const char *const kVersion1[] = {
    "CREATE TABLE exams (id INTEGER PRIMARY KEY, type INTEGER NOT NULL, started TEXT NOT NULL,"
    " finished TEXT NOT NULL, seconds INTEGER NOT NULL)",
    "CREATE TABLE answers (exam INTEGER NOT NULL REFERENCES exams (id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL, number INTEGER NOT NULL, given TEXT NOT NULL, correct INTEGER NOT NULL,"
    " PRIMARY KEY (exam, position)) WITHOUT ROWID",
};

const char *const kVersion2[] = {
    "ALTER TABLE answers ADD COLUMN shown TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE answers ADD COLUMN subject INTEGER NOT NULL DEFAULT -1",
    "ALTER TABLE exams ADD COLUMN right_count INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE exams ADD COLUMN total_count INTEGER NOT NULL DEFAULT 0",
    "UPDATE exams SET right_count = (SELECT count(*) FROM answers WHERE exam = exams.id AND correct <> 0),"
    " total_count = (SELECT count(*) FROM answers WHERE exam = exams.id)",
    "CREATE TABLE drill_answers (id INTEGER PRIMARY KEY, number INTEGER NOT NULL, at TEXT NOT NULL,"
    " correct INTEGER NOT NULL)",
    "CREATE TABLE exam_subjects (exam INTEGER NOT NULL REFERENCES exams (id) ON DELETE CASCADE,"
    " subject INTEGER NOT NULL, right_count INTEGER NOT NULL, total_count INTEGER NOT NULL,"
    " PRIMARY KEY (exam, subject)) WITHOUT ROWID",
};
// After each answer's subject is filled in.
const char *const kVersion2Counts[] = {
    "INSERT INTO exam_subjects SELECT exam, subject, sum(correct <> 0), count(*) FROM answers"
    " WHERE subject >= 0 GROUP BY exam, subject",
};

// What the program reads, one statement per table: a file where one of them cannot be prepared is
// of no use to it.
const char *const kReads[] = {
    "SELECT id, type, started, finished, seconds, right_count, total_count FROM exams LIMIT 0",
    "SELECT exam, position, number, given, correct, shown, subject FROM answers LIMIT 0",
    "SELECT id, number, at, correct FROM drill_answers LIMIT 0",
    "SELECT exam, subject, right_count, total_count FROM exam_subjects LIMIT 0",
};

// SQLite's primary result codes this file tells apart.
enum SqliteCode {
    kError = 1,
    kCorrupt = 11,
    kFull = 13,
    kNotADatabase = 26,
};

// Text for a NOT NULL column: Qt binds a null QString as NULL.
QString notNull(const QString &text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

QString dateText(const QDateTime &when)
{
    if (!when.isValid())
        return QString(QLatin1String(""));
    return when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QDateTime dateFrom(const QString &text)
{
    return text.isEmpty() ? QDateTime() : QDateTime::fromString(text, Qt::ISODateWithMs);
}

// How an attempt to open the file ended.
struct Outcome {
    enum Kind {
        Ok,
        Damaged,     // the file must be set aside: not a database, damaged, or a schema not ours
        NotRegular,  // a FIFO, device or folder under the name
        Unavailable, // the place cannot hold a history now (folder, permissions, full disk)
    } kind = Ok;
    QString reason; // for Unavailable, the end of the sentence
};

Outcome unavailable(const QString &reason)
{
    return {Outcome::Unavailable, reason};
}

Outcome fromError(const QSqlError &error, const QString &path)
{
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known) & 0xff;
    if (known && (code == kNotADatabase || code == kCorrupt || code == kError))
        return {Outcome::Damaged, {}};
    if (known && code == kFull)
        return unavailable(QStringLiteral("o disco está cheio."));
    return unavailable(
        QStringLiteral("o arquivo %1 não pôde ser aberto nem criado.").arg(QDir::toNativeSeparators(path)));
}

std::atomic<int> g_connections{0};
std::atomic<quint64> g_revision{0};

// RFC 4180 field: quoted when it holds the separator, a quote or a line break.
QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(';') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r'))
        bytes = '"' + bytes.replace("\"", "\"\"") + '"';
    return bytes;
}

} // namespace

int HistoryExam::right() const
{
    int n = 0;
    for (const HistoryAnswer &a : answers)
        n += a.right ? 1 : 0;
    return n;
}

struct History::Private {
    QString path;
    QString connection;
    QString problem;
    bool open = false;

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }
    Outcome attempt();
    Outcome migrate(QSqlDatabase &db, int from);
    void close();
    bool exec(QSqlQuery &q, const char *sql) const { return q.exec(QString::fromLatin1(sql)); }
};

void History::Private::close()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(connection))
        QSqlDatabase::removeDatabase(connection);
}

Outcome History::Private::attempt()
{
    constexpr qint64 kAnySize = std::numeric_limits<qint64>::max();
    // SQLite would open whatever is there, and wait forever on a FIFO.
    const QStringList names = {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm"),
                               path + QStringLiteral("-journal")};
    for (const QString &name : names)
        if (SafeFile::check(name, kAnySize) == SafeFile::Status::NotRegular)
            return {Outcome::NotRegular, {}};
    const QFileInfo file(path);
    if (file.exists() && !file.isWritable())
        return unavailable(
            QStringLiteral("o arquivo %1 não permite gravar.").arg(QDir::toNativeSeparators(path)));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    if (!db.isValid())
        return unavailable(QStringLiteral("falta o suporte a SQLite do Qt (pacote libqt6sql6-sqlite)."));
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open())
        return fromError(db.lastError(), path);

    QSqlQuery q(db);
    // The first read of the file: a file that is not a database fails here.
    if (!exec(q, "PRAGMA user_version") || !q.next())
        return fromError(q.lastError(), path);
    const int version = q.value(0).toInt();
    // A newer program's history is the person's too: left as it is, for that program to use.
    if (version > kSchemaVersion)
        return unavailable(
            QStringLiteral("ele foi gravado por uma versão mais nova do programa e foi deixado "
                           "como está; use essa versão para continuar com ele."));
    if (!exec(q, "PRAGMA quick_check") || !q.next())
        return fromError(q.lastError(), path);
    if (q.value(0).toString() != QLatin1String("ok"))
        return {Outcome::Damaged, {}};
    q.finish();
    // WAL: a commit is one append to the log, and a kill at any moment leaves every committed
    // transaction in the file. FULL syncs the log at each commit, so a stored exam survives a power
    // cut too; an exam is stored once in many minutes, so the sync costs nothing anyone sees.
    if (!exec(q, "PRAGMA foreign_keys = ON") || !exec(q, "PRAGMA journal_mode = WAL") ||
        !exec(q, "PRAGMA synchronous = FULL"))
        return fromError(q.lastError(), path);
    q.finish();
    if (version < kSchemaVersion) {
        const Outcome migrated = migrate(db, version);
        if (migrated.kind != Outcome::Ok)
            return migrated;
    }
    for (const char *sql : kReads)
        if (!exec(q, sql))
            return {Outcome::Damaged, {}};
    // Only the tables this program makes: a view or a trigger (which this program never makes)
    // could make a read or a store run forever.
    if (!exec(q, "SELECT count(*) FROM sqlite_master WHERE type IN ('view', 'trigger')") || !q.next() ||
        q.value(0).toInt() != 0)
        return {Outcome::Damaged, {}};
    q.finish();
    return {};
}

Outcome History::Private::migrate(QSqlDatabase &db, int from)
{
    QSqlQuery q(db);
    if (!exec(q, "BEGIN IMMEDIATE"))
        return fromError(q.lastError(), path);
    const auto fail = [&]() {
        const Outcome outcome = fromError(q.lastError(), path);
        q.finish();
        QSqlQuery rollback(db);
        exec(rollback, "ROLLBACK");
        return outcome;
    };
    // Read again inside the transaction: another copy of the program may have migrated meanwhile.
    if (!exec(q, "PRAGMA user_version") || !q.next())
        return fail();
    from = q.value(0).toInt();
    q.finish();
    if (from == 0) {
        // A new file has no tables; one that has some was not made by this program.
        if (!exec(q, "SELECT count(*) FROM sqlite_master") || !q.next())
            return fail();
        if (q.value(0).toInt() != 0) {
            q.finish();
            QSqlQuery rollback(db);
            exec(rollback, "ROLLBACK");
            return {Outcome::Damaged, {}};
        }
        q.finish();
        for (const char *sql : kVersion1)
            if (!exec(q, sql))
                return fail();
    }
    if (from <= 1) {
        for (const char *sql : kVersion2)
            if (!exec(q, sql))
                return fail();
        // Each answer's subject, from its question's number.
        QList<int> numbers;
        if (!exec(q, "SELECT DISTINCT number FROM answers"))
            return fail();
        while (q.next())
            numbers << q.value(0).toInt();
        q.finish();
        if (!q.prepare(QStringLiteral("UPDATE answers SET subject = ? WHERE number = ?")))
            return fail();
        for (int number : numbers) {
            q.bindValue(0, Subjects::of(number));
            q.bindValue(1, number);
            if (!q.exec())
                return fail();
        }
        for (const char *sql : kVersion2Counts)
            if (!exec(q, sql))
                return fail();
    }
    if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)) || !exec(q, "COMMIT"))
        return fail();
    return {};
}

History::History(const QString &path) : d(new Private)
{
    d->path = path;
    d->connection = QStringLiteral("historico-%1").arg(g_connections.fetch_add(1));
    const QString cannot = QStringLiteral("O histórico de estudo não pode ser guardado: ");
    if (path.isEmpty()) {
        d->problem = cannot + QStringLiteral("não há uma pasta de dados do usuário.");
        return;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        d->problem =
            cannot + QStringLiteral("a pasta %1 não pôde ser criada.").arg(QDir::toNativeSeparators(folder));
        return;
    }
    for (int round = 0; round < 2; ++round) {
        const Outcome outcome = d->attempt();
        if (outcome.kind == Outcome::Ok) {
            d->open = true;
            return;
        }
        d->close();
        if (outcome.kind == Outcome::Unavailable || round == 1) {
            const QString reason = outcome.kind == Outcome::Unavailable
                                       ? outcome.reason
                                       : QStringLiteral("um histórico novo não pôde ser começado em %1.")
                                             .arg(QDir::toNativeSeparators(path));
            d->problem = (d->problem.isEmpty() ? QString() : d->problem + QLatin1Char(' ')) + cannot + reason;
            return;
        }
        // Set aside under a name of its own, with the log, index or journal SQLite keeps beside it
        // (left beside a fresh file, they would be read as its own).
        const QString stamp = Clock::current().localNow().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString aside = path + QStringLiteral(".danificado-") + stamp;
        for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
            aside = path + QStringLiteral(".danificado-") + stamp + QLatin1Char('-') + QString::number(n);
        if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0) {
            d->problem =
                cannot + QStringLiteral("o arquivo %1 não pode ser usado e não pôde ser posto de lado.")
                             .arg(QDir::toNativeSeparators(path));
            return;
        }
        for (const QString &suffix :
             {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
            if (QFileInfo::exists(path + suffix) || QFileInfo(path + suffix).isSymLink()) {
                if (std::rename(QFile::encodeName(path + suffix).constData(),
                                QFile::encodeName(aside + suffix).constData()) != 0)
                    QFile::remove(path + suffix);
            }
        }
        const QString name = QFileInfo(aside).fileName();
        switch (outcome.kind) {
        case Outcome::NotRegular:
            d->problem =
                QStringLiteral("No lugar do histórico de estudo havia algo que não é um arquivo comum, "
                               "agora guardado como %1; um histórico novo foi começado.")
                    .arg(name);
            break;
        default:
            d->problem = QStringLiteral("O histórico de estudo estava danificado e foi guardado como %1; "
                                        "um histórico novo foi começado.")
                             .arg(name);
            break;
        }
    }
}

History::~History()
{
    d->close();
    delete d;
}

QString History::path() const
{
    return d->path;
}

bool History::isOpen() const
{
    return d->open;
}

QString History::problem() const
{
    return d->problem;
}

qint64 History::store(const HistoryExam &exam)
{
    if (!d->open)
        return 0;
    QSqlDatabase db = d->db();
    QSqlQuery q(db);
    if (!d->exec(q, "BEGIN IMMEDIATE"))
        return 0;
    const auto fail = [&]() {
        q.finish();
        QSqlQuery rollback(db);
        d->exec(rollback, "ROLLBACK");
        return qint64(0);
    };
    if (!q.prepare(
            QStringLiteral("INSERT INTO exams (type, started, finished, seconds, right_count, total_count)"
                           " VALUES (?, ?, ?, ?, ?, ?)")))
        return fail();
    q.bindValue(0, exam.type);
    q.bindValue(1, dateText(exam.start));
    q.bindValue(2, dateText(exam.end));
    q.bindValue(3, exam.seconds);
    q.bindValue(4, exam.right());
    q.bindValue(5, int(exam.answers.size()));
    if (!q.exec())
        return fail();
    const qint64 id = q.lastInsertId().toLongLong();
    if (id <= 0)
        return fail();
    if (!q.prepare(
            QStringLiteral("INSERT INTO answers (exam, position, number, given, correct, shown, subject)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?)")))
        return fail();
    SubjectTotal counts[Subjects::kCount];
    for (qsizetype i = 0; i < exam.answers.size(); ++i) {
        const HistoryAnswer &a = exam.answers[i];
        const int subject = Subjects::of(a.number);
        if (subject >= 0 && subject < Subjects::kCount) {
            counts[subject].right += a.right ? 1 : 0;
            counts[subject].total += 1;
        }
        q.bindValue(0, id);
        q.bindValue(1, int(i + 1));
        q.bindValue(2, a.number);
        q.bindValue(3, notNull(a.given));
        q.bindValue(4, a.right ? 1 : 0);
        q.bindValue(5, notNull(a.shown));
        q.bindValue(6, subject);
        if (!q.exec())
            return fail();
    }
    if (!q.prepare(QStringLiteral("INSERT INTO exam_subjects (exam, subject, right_count, total_count)"
                                  " VALUES (?, ?, ?, ?)")))
        return fail();
    for (int s = 0; s < Subjects::kCount; ++s) {
        if (counts[s].total == 0)
            continue;
        q.bindValue(0, id);
        q.bindValue(1, s);
        q.bindValue(2, counts[s].right);
        q.bindValue(3, counts[s].total);
        if (!q.exec())
            return fail();
    }
    q.finish();
    if (!d->exec(q, "COMMIT"))
        return fail();
    g_revision.fetch_add(1);
    return id;
}

QList<HistoryExam> History::exams(Answers which) const
{
    QList<HistoryExam> list;
    if (!d->open)
        return list;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    if (!d->exec(q, "BEGIN")) // one snapshot for both reads
        return list;
    QHash<qint64, qsizetype> index;
    if (d->exec(q, "SELECT id, type, started, finished, seconds FROM exams ORDER BY id")) {
        while (q.next()) {
            HistoryExam e;
            e.id = q.value(0).toLongLong();
            e.type = q.value(1).toInt();
            e.start = dateFrom(q.value(2).toString());
            e.end = dateFrom(q.value(3).toString());
            e.seconds = q.value(4).toInt();
            index.insert(e.id, list.size());
            list << e;
        }
    }
    if (d->exec(q, which == Answers::All ? "SELECT exam, number, given, correct, shown, subject FROM answers "
                                           "ORDER BY exam, position"
                                         : "SELECT exam, number, given, correct, shown, subject FROM answers "
                                           "WHERE correct = 0 ORDER BY exam, position")) {
        while (q.next()) {
            const auto at = index.constFind(q.value(0).toLongLong());
            if (at == index.cend())
                continue;
            HistoryAnswer a;
            a.number = q.value(1).toInt();
            a.given = q.value(2).toString();
            a.right = q.value(3).toInt() != 0;
            a.shown = q.value(4).toString();
            a.subject = q.value(5).toInt();
            list[*at].answers << a;
        }
    }
    q.finish();
    d->exec(q, "COMMIT");
    return list;
}

QList<HistorySummary> History::summaries() const
{
    QList<HistorySummary> list;
    if (!d->open)
        return list;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    if (!d->exec(
            q,
            "SELECT id, type, started, finished, seconds, right_count, total_count FROM exams ORDER BY id"))
        return list;
    while (q.next()) {
        HistorySummary s;
        s.id = q.value(0).toLongLong();
        s.type = q.value(1).toInt();
        s.start = dateFrom(q.value(2).toString());
        s.end = dateFrom(q.value(3).toString());
        s.seconds = q.value(4).toInt();
        s.right = q.value(5).toInt();
        s.total = q.value(6).toInt();
        list << s;
    }
    return list;
}

QList<SubjectTotal> History::subjectTotals(int last) const
{
    QList<SubjectTotal> totals(Subjects::kCount);
    if (!d->open || last < 0)
        return totals;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    if (last == 0) {
        if (!d->exec(
                q, "SELECT subject, sum(right_count), sum(total_count) FROM exam_subjects GROUP BY subject"))
            return totals;
    } else {
        if (!q.prepare(QStringLiteral("SELECT subject, sum(right_count), sum(total_count) FROM exam_subjects"
                                      " WHERE exam >= (SELECT min(id) FROM (SELECT id FROM exams ORDER BY id"
                                      " DESC LIMIT ?)) GROUP BY subject")))
            return totals;
        q.bindValue(0, last);
        if (!q.exec())
            return totals;
    }
    while (q.next()) {
        const int subject = q.value(0).toInt();
        if (subject < 0 || subject >= Subjects::kCount)
            continue;
        totals[subject].right = q.value(1).toInt();
        totals[subject].total = q.value(2).toInt();
    }
    return totals;
}

bool History::storeDrillAnswer(const DrillAnswer &answer)
{
    if (!d->open)
        return false;
    QSqlQuery q(d->db());
    if (!q.prepare(QStringLiteral("INSERT INTO drill_answers (number, at, correct) VALUES (?, ?, ?)")))
        return false;
    q.bindValue(0, answer.number);
    q.bindValue(1, dateText(answer.at));
    q.bindValue(2, answer.right ? 1 : 0);
    if (!q.exec())
        return false;
    g_revision.fetch_add(1);
    return true;
}

quint64 History::revision()
{
    return g_revision.load();
}

QList<DrillAnswer> History::drillAnswers() const
{
    QList<DrillAnswer> list;
    if (!d->open)
        return list;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    if (!d->exec(q, "SELECT number, at, correct FROM drill_answers ORDER BY id"))
        return list;
    while (q.next()) {
        DrillAnswer a;
        a.number = q.value(0).toInt();
        a.at = dateFrom(q.value(1).toString());
        a.right = q.value(2).toInt() != 0;
        list << a;
    }
    return list;
}

bool History::exportCsv(const QString &file, QString *error) const
{
    const auto failed = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!d->open)
        return failed(QStringLiteral("O histórico de estudo não está disponível."));
    // Byte order mark and ';': what spreadsheets set to Brazilian Portuguese read without asking.
    QByteArray out("\xEF\xBB\xBF"
                   "prova;tipo;inicio;fim;segundos;posicao;questao;materia;resposta;alternativas;certa\r\n");
    {
        QSqlQuery q(d->db());
        q.setForwardOnly(true);
        if (!d->exec(q, "SELECT e.id, e.type, e.started, e.finished, e.seconds, a.position, a.number,"
                        " a.subject, a.given, a.shown, a.correct FROM exams e JOIN answers a ON a.exam = e.id"
                        " ORDER BY e.id, a.position"))
            return failed(QStringLiteral("O histórico de estudo não pôde ser lido."));
        const QString dateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
        while (q.next()) {
            const QStringList fields = {
                q.value(0).toString(),
                q.value(1).toString(),
                dateFrom(q.value(2).toString()).toString(dateFormat),
                dateFrom(q.value(3).toString()).toString(dateFormat),
                q.value(4).toString(),
                q.value(5).toString(),
                q.value(6).toString(),
                Subjects::name(q.value(7).toInt()),
                q.value(8).toString(),
                q.value(9).toString(),
                q.value(10).toInt() != 0 ? QStringLiteral("sim") : QStringLiteral("não"),
            };
            for (qsizetype i = 0; i < fields.size(); ++i) {
                if (i > 0)
                    out += ';';
                out += csvField(fields[i]);
            }
            out += "\r\n";
        }
        if (q.lastError().isValid())
            return failed(QStringLiteral("O histórico de estudo não pôde ser lido."));
    }
    QSaveFile save(file);
    const QString name = QDir::toNativeSeparators(file);
    if (!save.open(QIODevice::WriteOnly))
        return failed(
            QStringLiteral("O arquivo %1 não pôde ser criado: verifique se a pasta existe e permite gravar.")
                .arg(name));
    if (save.write(out) != out.size()) {
        save.cancelWriting();
        return failed(
            QStringLiteral("O arquivo %1 não pôde ser gravado por inteiro (o disco pode estar cheio).")
                .arg(name));
    }
    if (!save.commit())
        return failed(
            QStringLiteral("O arquivo %1 não pôde ser gravado: o arquivo antigo não foi substituído.")
                .arg(name));
    return true;
}

History &History::instance()
{
    static std::unique_ptr<History> held;
    const QString path = ProgramFolder::dataFile(QStringLiteral("historico.sqlite"));
    if (!held || held->path() != path) {
        held.reset(); // the old connection closes before the new one opens
        held = std::make_unique<History>(path);
        // Closed with the application, while Qt's SQL plug-in is still loaded.
        static bool cleanup = false;
        if (!cleanup && QCoreApplication::instance()) {
            cleanup = true;
            qAddPostRoutine([] { held.reset(); });
        }
    }
    return *held;
}
