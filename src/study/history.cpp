// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "history.h"

#include "common/clock.h"
#include "common/platform.h"
#include "common/programfolder.h"
#include "common/safefile.h"
#include "subjects.h"

#include "exam/questionbank.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStorageInfo>
#include <QVarLengthArray>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>
#include <memory>
#include <span>
#include <string_view>
#include <type_traits>

#include <cerrno>
#include <sqlite3.h>

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
// Version 3: each answer keeps whether the traffic light was consulted there and whether the
// position was shown.
//
// Version 4: each drill answer keeps what the candidate said of a right answer (sure, unsure,
// guessed) and where it was given (the reviews or study by subject).
//
// Dates are ISO 8601 text with milliseconds and the offset from UTC they were taken at: read back,
// they need no look-up of the local time zone (slow enough to matter for a thousand exams).
//
// The columns are listed once, table by table, below; History::Private::migrate() holds the steps.

namespace {

// How one column holds a field of Row, the struct the table's rows are read into: the value stored
// (nullptr when SQLite gives it: the row's id), the field read back from a stored value, and the
// field as the CSV export writes it.
template <typename Row> struct Field {
    QVariant (*store)(const Row &);
    void (*read)(Row &, const QVariant &);
    QString (*text)(const Row &);
};

// Where the CSV export writes a column: its header and its place in the line (0 first); no header
// when it is not exported.
struct CsvPlace {
    const char *header = nullptr;
    int at = -1;
};

template <typename Row> struct Column {
    const char *name = nullptr;
    const char *type = nullptr; // SQL type and constraints, as CREATE TABLE and ADD COLUMN write them
    int since = 0;              // the schema version that added it
    Field<Row> field;
    CsvPlace csv = {};
};

template <typename Row> struct Table {
    const char *name;
    std::span<const Column<Row>> columns;
    const char *constraints; // after the columns, inside the parentheses; nullptr when none
    const char *options;     // after the parentheses; nullptr when none
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

// The kinds of field, each for a member of Row.
template <typename Row, auto member>
constexpr Field<Row> asInteger = {
    [](const Row &row) { return QVariant(row.*member); },
    [](Row &row, const QVariant &value) {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(row.*member)>, qint64>)
            row.*member = value.toLongLong();
        else
            row.*member = value.toInt();
    },
    [](const Row &row) { return QString::number(row.*member); },
};
// The row's id, given by SQLite.
template <typename Row, auto member>
constexpr Field<Row> asRowId = {nullptr, asInteger<Row, member>.read, asInteger<Row, member>.text};
template <typename Row, auto member>
constexpr Field<Row> asText = {
    [](const Row &row) { return QVariant(notNull(row.*member)); },
    [](Row &row, const QVariant &value) { row.*member = value.toString(); },
    [](const Row &row) { return row.*member; },
};
// ISO 8601 with milliseconds and offset stored; the local date and time to the second exported.
template <typename Row, auto member>
constexpr Field<Row> asDate = {
    [](const Row &row) { return QVariant(dateText(row.*member)); },
    [](Row &row, const QVariant &value) { row.*member = dateFrom(value.toString()); },
    [](const Row &row) { return (row.*member).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")); },
};
// 1 or 0 stored, "sim" or "não" exported.
template <typename Row, auto member>
constexpr Field<Row> asFlag = {
    [](const Row &row) { return QVariant(row.*member ? 1 : 0); },
    [](Row &row, const QVariant &value) { row.*member = value.toInt() != 0; },
    [](const Row &row) { return row.*member ? QStringLiteral("sim") : QStringLiteral("não"); },
};
// An enumeration stored as its number.
template <typename Row, auto member>
constexpr Field<Row> asEnum = {
    [](const Row &row) { return QVariant(static_cast<int>(row.*member)); },
    [](Row &row, const QVariant &value) {
        row.*member = static_cast<std::remove_cvref_t<decltype(row.*member)>>(value.toInt());
    },
    [](const Row &row) { return QString::number(static_cast<int>(row.*member)); },
};
// The export's words for what the candidate said of a right answer, and where it was given.
QString confidenceText(DrillAnswer::Confidence confidence)
{
    switch (confidence) {
    case DrillAnswer::Confidence::Knew:
        return QStringLiteral("sei");
    case DrillAnswer::Confidence::Thought:
        return QStringLiteral("acho");
    case DrillAnswer::Confidence::Guessed:
        return QStringLiteral("chutei");
    case DrillAnswer::Confidence::NotAsked:
        break;
    }
    return QString();
}
QString kindText(DrillAnswer::Kind kind)
{
    return kind == DrillAnswer::Kind::Subject ? QStringLiteral("assunto") : QStringLiteral("revisao");
}
// Subjects::Subject stored, its name exported.
template <typename Row, auto member>
constexpr Field<Row> asSubject = {asInteger<Row, member>.store, asInteger<Row, member>.read,
                                  [](const Row &row) { return Subjects::name(row.*member); }};

// The struct each table's rows are read into.
using ExamRow = HistorySummary;
struct AnswerRow : HistoryAnswer {
    qint64 exam = 0;
    int position = 0; // 1 first
};
struct DrillRow : DrillAnswer {
    qint64 id = 0;
};
struct SubjectRow : SubjectTotal {
    qint64 exam = 0;
    int subject = 0;
};

// The tables, a list of columns each: what makes and migrates them, stores and reads their rows,
// and writes the CSV export.
//
// To add a column: add its line at the end of its table's list, with the next schema version as
// its version and a DEFAULT (the value rows stored before it get), a member of the table's row
// struct to hold it, and a CSV place after the last if it is exported. Then raise
// History::kSchemaVersion and add that version's step to History::Private::migrate(): it runs
// addColumns() for the table, and fills the rows already stored when the default does not fit
// them. A released column's type never changes: a column that must change is a new one.

constexpr Column<ExamRow> kExamColumns[] = {
    {"id", "INTEGER PRIMARY KEY", 1, asRowId<ExamRow, &ExamRow::id>, {"prova", 0}},
    {"type", "INTEGER NOT NULL", 1, asInteger<ExamRow, &ExamRow::type>, {"tipo", 1}},
    {"started", "TEXT NOT NULL", 1, asDate<ExamRow, &ExamRow::start>, {"inicio", 2}},
    {"finished", "TEXT NOT NULL", 1, asDate<ExamRow, &ExamRow::end>, {"fim", 3}},
    {"seconds", "INTEGER NOT NULL", 1, asInteger<ExamRow, &ExamRow::seconds>, {"segundos", 4}},
    {"right_count", "INTEGER NOT NULL DEFAULT 0", 2, asInteger<ExamRow, &ExamRow::right>},
    {"total_count", "INTEGER NOT NULL DEFAULT 0", 2, asInteger<ExamRow, &ExamRow::total>},
};
constexpr Table<ExamRow> kExams = {"exams", kExamColumns, nullptr, nullptr};

constexpr Column<AnswerRow> kAnswerColumns[] = {
    {"exam", "INTEGER NOT NULL REFERENCES exams (id) ON DELETE CASCADE", 1,
     asInteger<AnswerRow, &AnswerRow::exam>},
    {"position", "INTEGER NOT NULL", 1, asInteger<AnswerRow, &AnswerRow::position>, {"posicao", 5}},
    {"number", "INTEGER NOT NULL", 1, asInteger<AnswerRow, &AnswerRow::number>, {"questao", 6}},
    {"given", "TEXT NOT NULL", 1, asText<AnswerRow, &AnswerRow::given>, {"resposta", 8}},
    {"correct", "INTEGER NOT NULL", 1, asFlag<AnswerRow, &AnswerRow::right>, {"certa", 10}},
    {"shown", "TEXT NOT NULL DEFAULT ''", 2, asText<AnswerRow, &AnswerRow::shown>, {"alternativas", 9}},
    {"subject", "INTEGER NOT NULL DEFAULT -1", 2, asSubject<AnswerRow, &AnswerRow::subject>, {"materia", 7}},
    {"revealed", "INTEGER NOT NULL DEFAULT 0", 3, asFlag<AnswerRow, &AnswerRow::revealed>, {"conferida", 11}},
    {"seen", "INTEGER NOT NULL DEFAULT 1", 3, asFlag<AnswerRow, &AnswerRow::seen>, {"exibida", 12}},
};
constexpr Table<AnswerRow> kAnswers = {"answers", kAnswerColumns, "PRIMARY KEY (exam, position)",
                                       "WITHOUT ROWID"};

constexpr Column<DrillRow> kDrillColumns[] = {
    {"id", "INTEGER PRIMARY KEY", 2, asRowId<DrillRow, &DrillRow::id>},
    {"number", "INTEGER NOT NULL", 2, asInteger<DrillRow, &DrillRow::number>},
    {"at", "TEXT NOT NULL", 2, asDate<DrillRow, &DrillRow::at>},
    {"correct", "INTEGER NOT NULL", 2, asFlag<DrillRow, &DrillRow::right>},
    {"confidence", "INTEGER NOT NULL DEFAULT 0", 4, asEnum<DrillRow, &DrillRow::confidence>},
    {"kind", "INTEGER NOT NULL DEFAULT 0", 4, asEnum<DrillRow, &DrillRow::kind>},
};
constexpr Table<DrillRow> kDrillAnswers = {"drill_answers", kDrillColumns, nullptr, nullptr};

constexpr Column<SubjectRow> kSubjectColumns[] = {
    {"exam", "INTEGER NOT NULL REFERENCES exams (id) ON DELETE CASCADE", 2,
     asInteger<SubjectRow, &SubjectRow::exam>},
    {"subject", "INTEGER NOT NULL", 2, asInteger<SubjectRow, &SubjectRow::subject>},
    {"right_count", "INTEGER NOT NULL", 2, asInteger<SubjectRow, &SubjectRow::right>},
    {"total_count", "INTEGER NOT NULL", 2, asInteger<SubjectRow, &SubjectRow::total>},
};
constexpr Table<SubjectRow> kExamSubjects = {"exam_subjects", kSubjectColumns, "PRIMARY KEY (exam, subject)",
                                             "WITHOUT ROWID"};

QLatin1String latin1(const char *text)
{
    return QLatin1String(text);
}

// The table as version `version` of the schema makes it.
template <typename Row> QString createTable(const Table<Row> &table, int version)
{
    QStringList parts;
    for (const Column<Row> &column : table.columns)
        if (column.since <= version)
            parts << latin1(column.name) + QLatin1Char(' ') + latin1(column.type);
    if (table.constraints)
        parts << latin1(table.constraints);
    QString sql = QLatin1String("CREATE TABLE ") + latin1(table.name) + QLatin1String(" (") +
                  parts.join(QLatin1String(", ")) + QLatin1Char(')');
    if (table.options)
        sql += QLatin1Char(' ') + latin1(table.options);
    return sql;
}

// The columns version `version` of the schema adds to a table made before it.
template <typename Row> QStringList addColumns(const Table<Row> &table, int version)
{
    QStringList sql;
    for (const Column<Row> &column : table.columns)
        if (column.since == version)
            sql << QLatin1String("ALTER TABLE ") + latin1(table.name) + QLatin1String(" ADD COLUMN ") +
                       latin1(column.name) + QLatin1Char(' ') + latin1(column.type);
    return sql;
}

// Every column of the table but those left out, by name. A column read costs in every row: a read
// leaves out what it does not need.
template <typename Row>
QString selectAll(const Table<Row> &table, std::initializer_list<std::string_view> leftOut = {})
{
    QStringList names;
    for (const Column<Row> &column : table.columns)
        if (std::find(leftOut.begin(), leftOut.end(), column.name) == leftOut.end())
            names << latin1(column.name);
    return QLatin1String("SELECT ") + names.join(QLatin1String(", ")) + QLatin1String(" FROM ") +
           latin1(table.name);
}

// The exported columns of the table called alias in a query, each named alias_name.
template <typename Row> QString exportedColumns(const Table<Row> &table, const char *alias)
{
    QStringList names;
    for (const Column<Row> &column : table.columns)
        if (column.csv.header)
            names << latin1(alias) + QLatin1Char('.') + latin1(column.name) + QLatin1String(" AS ") +
                         latin1(alias) + QLatin1Char('_') + latin1(column.name);
    return names.join(QLatin1String(", "));
}

// Every column SQLite does not give, with a place-holder for each.
template <typename Row> QString insertInto(const Table<Row> &table)
{
    QStringList names, marks;
    for (const Column<Row> &column : table.columns)
        if (column.field.store) {
            names << latin1(column.name);
            marks << QStringLiteral("?");
        }
    return QLatin1String("INSERT INTO ") + latin1(table.name) + QLatin1String(" (") +
           names.join(QLatin1String(", ")) + QLatin1String(") VALUES (") + marks.join(QLatin1String(", ")) +
           QLatin1Char(')');
}

// Binds row to a query prepared from insertInto(table).
template <typename Row> void bindRow(QSqlQuery &q, const Table<Row> &table, const Row &row)
{
    int at = 0;
    for (const Column<Row> &column : table.columns)
        if (column.field.store)
            q.bindValue(at++, column.field.store(row));
}

// Reads a table's rows from a query's results. Each column is found by its name (alias_name with an
// alias) once, when the query has run; a column the query does not return is left as the row struct
// has it.
template <typename Row> class RowReader {
public:
    RowReader(const QSqlQuery &q, const Table<Row> &table, const char *alias = nullptr)
    {
        const QSqlRecord record = q.record();
        for (const Column<Row> &column : table.columns) {
            const QString name =
                alias ? latin1(alias) + QLatin1Char('_') + latin1(column.name) : QString(latin1(column.name));
            const int index = record.indexOf(name);
            if (index >= 0)
                m_found.append({column.field.read, index});
        }
    }
    void read(const QSqlQuery &q, Row &row) const
    {
        for (const Found &found : m_found)
            found.read(row, q.value(found.index));
    }

private:
    struct Found {
        void (*read)(Row &, const QVariant &);
        int index;
    };
    QVarLengthArray<Found, 16> m_found;
};

// SQLite's primary result codes this file tells apart.
enum SqliteCode {
    kError = 1,
    kPerm = 3,
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoError = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kNotADatabase = 26,
};

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

// SQLite's own connection under db, nullptr when there is none.
sqlite3 *connectionOf(const QSqlDatabase &db)
{
    if (!db.isValid() || !db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// The error number of the system call that failed last on db's connection, 0 when none is known.
int systemError(const QSqlDatabase &db)
{
    sqlite3 *connection = connectionOf(db);
    return connection ? sqlite3_system_errno(connection) : 0;
}

// Every exam's marks (number, right, subject, revealed, seen; no letter, no alternatives), read
// straight from SQLite inside the caller's transaction: for the memory's replay, which reads every
// answer ever stored, Qt's value-by-value reading takes most of the time. exams holds the exams in
// order of id; index maps an id to its place. False when the statement cannot be made (the caller
// reads through Qt then); a step that fails leaves what was read.
bool readMarks(const QSqlDatabase &db, QList<HistoryExam> &exams, const QHash<qint64, qsizetype> &index)
{
    sqlite3 *connection = connectionOf(db);
    sqlite3_stmt *statement = nullptr;
    if (!connection ||
        sqlite3_prepare_v2(connection,
                           "SELECT exam, number, correct, subject, revealed, seen FROM answers "
                           "ORDER BY exam, position",
                           -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return false;
    }
    qint64 lastExam = -1; // no exam has this id
    HistoryExam *exam = nullptr;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(statement, 0);
        if (id != lastExam) {
            lastExam = id;
            const auto at = index.constFind(id);
            exam = at == index.cend() ? nullptr : &exams[*at];
        }
        if (!exam)
            continue;
        HistoryAnswer a;
        a.number = sqlite3_column_int(statement, 1);
        a.right = sqlite3_column_int(statement, 2) != 0;
        a.subject = sqlite3_column_int(statement, 3);
        a.revealed = sqlite3_column_int(statement, 4) != 0;
        a.seen = sqlite3_column_int(statement, 5) != 0;
        exam->answers.append(std::move(a));
    }
    sqlite3_finalize(statement);
    return true;
}

// Why the place cannot hold a history, from SQLite's result code and the system's error number.
Outcome fromError(const QSqlError &error, const QString &path, const QSqlDatabase &db = QSqlDatabase())
{
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known) & 0xff;
    if (known && (code == kNotADatabase || code == kCorrupt || code == kError))
        return {Outcome::Damaged, {}};
    const QString name = QDir::toNativeSeparators(path);
    // SQLite keeps the system's error number for these two only.
    const int number = known && (code == kIoError || code == kCantOpen) ? systemError(db) : 0;
    if (known && (code == kBusy || code == kLocked))
        return unavailable(QStringLiteral("o arquivo %1 está em uso por outro programa (outra cópia do "
                                          "Quelvado?) e não ficou livre a tempo.")
                               .arg(name));
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    constexpr qint64 kNearlyFull = 256 * 1024; // less than a few exams' pages and their log
    if ((known && code == kFull) || number == ENOSPC ||
        (number == 0 && disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < kNearlyFull))
        return unavailable(QStringLiteral("o disco onde ele fica está cheio (libere espaço nele)."));
    if (number == EDQUOT)
        return unavailable(QStringLiteral("a cota de disco do usuário acabou (libere espaço nela)."));
    if (number == EROFS)
        return unavailable(QStringLiteral("o disco onde ele fica só permite leitura."));
    if (number == EIO)
        return unavailable(QStringLiteral("o disco deu erro ao ler ou gravar o arquivo %1.").arg(name));
    if ((known && (code == kReadOnly || code == kPerm)) || number == EACCES || number == EPERM)
        return unavailable(QStringLiteral("o arquivo %1 ou um dos arquivos que o acompanham (%2-wal, %2-shm) "
                                          "não permite gravar.")
                               .arg(name, QFileInfo(path).fileName()));
    return unavailable(QStringLiteral("o arquivo %1 não pôde ser aberto nem criado.").arg(name));
}

const QString kCannot = QStringLiteral("O histórico de estudo não pode ser guardado: ");

bool mayWrite(const QString &path)
{
    return Platform::writable(path.toStdU16String());
}
History::WriteCheck g_mayWrite = mayWrite;

// A free name for setting aside `name`: name.danificado-<date and time> (or another word), with
// -2, -3 … when taken.
QString asideName(const QString &name, const QString &why = QStringLiteral(".danificado-"))
{
    const QString stamp = Clock::current().localNow().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = name + why + stamp;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = name + why + stamp + QLatin1Char('-') + QString::number(n);
    return aside;
}

// A name beside file for writing its new contents, of this write's own.
QString workName(const QString &file)
{
    return file +
           QStringLiteral(".novo-%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
}

// A file name as an SQL string literal.
QString sqlText(const QString &text)
{
    QString quoted = text;
    return QLatin1Char('\'') + quoted.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// The files SQLite keeps beside the history: its log, the log's index, and the journal of a
// history never switched to the log.
const QStringList kBeside = {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};

// Why the history at path, its folder or the files beside it cannot be written by this program,
// and what to do; empty when they can. A history used once by `sudo quelvado` leaves its log
// owned by root: it opens, and then every store fails.
QString unwritable(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    // The folder is written when the log or its index must be made (or the file itself).
    const bool makes = !info.exists() || !QFileInfo::exists(path + QStringLiteral("-wal")) ||
                       !QFileInfo::exists(path + QStringLiteral("-shm"));
    if (makes && !g_mayWrite(info.absolutePath()))
        return QStringLiteral("a pasta %1 não permite gravar; devolva a permissão a seu usuário (num "
                              "terminal: sudo chown \"$USER\": \"%1\").")
            .arg(folder);
    QStringList names;
    QString owner;
    bool others = false;
    for (const QString &suffix : QStringList{QString()} + kBeside) {
        const QFileInfo file(path + suffix);
        if (!file.exists() || g_mayWrite(file.filePath()))
            continue;
        names << QDir::toNativeSeparators(file.filePath());
        if (!Platform::ownedByThisUser(file.ownerId())) {
            others = true;
            owner = file.owner().isEmpty() ? QString::number(file.ownerId()) : file.owner();
        }
    }
    if (names.isEmpty())
        return {};
    QStringList quoted;
    for (const QString &name : names)
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    const QString which =
        names.size() == 1
            ? QStringLiteral("o arquivo %1 não permite gravar").arg(names.first())
            : QStringLiteral("os arquivos %1 não permitem gravar").arg(names.join(QStringLiteral(", ")));
    // The log may hold exams not yet copied into the history: it is given back, never deleted.
    const QString keep = QStringLiteral(" Não apague esses arquivos: podem guardar provas que ainda não "
                                        "passaram para o histórico.");
    if (others)
        return which +
               QStringLiteral(": pertence%1 ao usuário %2 (o que acontece quando o programa é aberto "
                              "com sudo). Feche o programa e, num terminal, devolva-o%1 a seu usuário: "
                              "sudo chown \"$USER\": %3.")
                   .arg(names.size() == 1 ? QString() : QStringLiteral("m"), owner,
                        quoted.join(QLatin1Char(' '))) +
               keep;
    return which +
           QStringLiteral(". Feche o programa e, num terminal, devolva a permissão de gravar: chmod u+w %1.")
               .arg(quoted.join(QLatin1Char(' '))) +
           keep;
}

std::atomic<int> g_connections{0};
std::atomic<quint64> g_revision{0};

// RFC 4180 field: quoted when it holds the separator, a quote or a line break. A text a
// spreadsheet would take for a formula (beginning with =, +, -, @, a tab or a carriage return)
// gets a leading apostrophe, as spreadsheets expect, so it is shown as text and never run.
QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.isEmpty() && QByteArrayView("=+-@\t\r").contains(bytes.front()))
        bytes.prepend('\'');
    if (bytes.contains(';') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r'))
        bytes = '"' + bytes.replace("\"", "\"\"") + '"';
    return bytes;
}

// Appends fields to out as one line of the CSV.
void appendLine(QByteArray &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ';';
        out += csvField(fields[i]);
    }
    out += "\r\n";
}

// Puts text in the CSV place `at` of a line's fields.
void place(QStringList &fields, int at, const QString &text)
{
    if (at >= fields.size())
        fields.resize(at + 1);
    fields[at] = text;
}

// Puts the headers of the table's exported columns in their places.
template <typename Row> void placeHeaders(QStringList &fields, const Table<Row> &table)
{
    for (const Column<Row> &column : table.columns)
        if (column.csv.header)
            place(fields, column.csv.at, latin1(column.csv.header));
}

// Puts the row's exported columns in their places.
template <typename Row> void placeFields(QStringList &fields, const Table<Row> &table, const Row &row)
{
    for (const Column<Row> &column : table.columns)
        if (column.csv.header)
            place(fields, column.csv.at, column.field.text(row));
}

} // namespace

namespace {
// An exam's own columns, without its answers.
HistoryExam examOf(const HistorySummary &row)
{
    HistoryExam e;
    e.id = row.id;
    e.type = row.type;
    e.start = row.start;
    e.end = row.end;
    e.seconds = row.seconds;
    return e;
}
} // namespace

int HistoryExam::right() const
{
    int n = 0;
    for (const HistoryAnswer &a : answers)
        n += a.known() ? 1 : 0;
    return n;
}

int HistoryExam::seen() const
{
    int n = 0;
    for (const HistoryAnswer &a : answers)
        n += a.seen ? 1 : 0;
    return n;
}

namespace {
// Inserts exam, its answers and its counts per subject with q's connection, inside the caller's
// transaction. Its new id, 0 when a statement failed (q then holds the error).
qint64 insertExam(QSqlQuery &q, const HistoryExam &exam)
{
    ExamRow summary;
    summary.type = exam.type;
    summary.start = exam.start;
    summary.end = exam.end;
    summary.seconds = exam.seconds;
    summary.right = exam.right();
    summary.total = exam.seen();
    if (!q.prepare(insertInto(kExams)))
        return 0;
    bindRow(q, kExams, summary);
    if (!q.exec())
        return 0;
    const qint64 id = q.lastInsertId().toLongLong();
    if (id <= 0 || !q.prepare(insertInto(kAnswers)))
        return 0;
    SubjectTotal counts[Subjects::kCount];
    AnswerRow row;
    row.exam = id;
    for (qsizetype i = 0; i < exam.answers.size(); ++i) {
        static_cast<HistoryAnswer &>(row) = exam.answers[i];
        row.position = int(i + 1);
        row.subject = Subjects::of(row.number);
        if (!row.known())
            row.right = false;
        if (row.seen && row.subject >= 0 && row.subject < Subjects::kCount) {
            counts[row.subject].right += row.right ? 1 : 0;
            counts[row.subject].total += 1;
        }
        bindRow(q, kAnswers, row);
        if (!q.exec())
            return 0;
    }
    if (!q.prepare(insertInto(kExamSubjects)))
        return 0;
    for (int s = 0; s < Subjects::kCount; ++s) {
        if (counts[s].total == 0)
            continue;
        SubjectRow subjectRow;
        static_cast<SubjectTotal &>(subjectRow) = counts[s];
        subjectRow.exam = id;
        subjectRow.subject = s;
        bindRow(q, kExamSubjects, subjectRow);
        if (!q.exec())
            return 0;
    }
    return id;
}
} // namespace

struct History::Private {
    QString path;
    QString connection;
    QString problem;
    bool open = false;

    // A store failed since the file was last opened or stored to; problem then says why.
    bool failing = false;

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }
    // Opens the file, setting aside what cannot be used and starting anew; on failure, problem
    // says why and the history stays closed (the next store tries again).
    void openOrSetAside();
    // Notes why a store failed: problem says it until a store works again.
    void storeFailed(const QSqlError &error);
    // A store worked: what failed before no longer does.
    void stored()
    {
        if (failing)
            problem.clear();
        failing = false;
        g_revision.fetch_add(1);
    }
    Outcome attempt();
    Outcome migrate(QSqlDatabase &db, int from);
    // What salvage() copied from a damaged history into the fresh one.
    struct Salvaged {
        int exams = 0;
        int drill = 0;
    };
    // Copies every exam of the history at `from` that can still be read whole, and every drill
    // answer that can, into the history (open and empty), in one transaction.
    Salvaged salvage(const QString &from);
    Salvaged salvageFrom(QSqlDatabase &source);
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
    // (openOrSetAside() has set aside what is odd beside it.)
    if (SafeFile::check(path, kAnySize) == SafeFile::Status::NotRegular)
        return {Outcome::NotRegular, {}};
    for (const QString &suffix : kBeside)
        if (SafeFile::check(path + suffix, kAnySize) == SafeFile::Status::NotRegular)
            return unavailable(QStringLiteral("o arquivo %1 não é um arquivo comum.")
                                   .arg(QDir::toNativeSeparators(path + suffix)));
    // Opening reads; every store writes the file and the two beside it.
    if (const QString why = unwritable(path); !why.isEmpty())
        return unavailable(why);

    // A log with something in it: the last program to use the file did not end cleanly (or
    // another copy has it open now).
    const QFileInfo log(path + QStringLiteral("-wal"));
    const bool unclean = log.exists() && log.size() > 0;

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
        return fromError(q.lastError(), path, db);
    const int version = q.value(QStringLiteral("user_version")).toInt();
    // A newer program's history is the person's too: left as it is, for that program to use.
    if (version > kSchemaVersion)
        return unavailable(
            QStringLiteral("ele foi gravado por uma versão mais nova do programa e foi deixado "
                           "como está; use essa versão para continuar com ele."));
    // The full check also finds what the quick one lets pass (keys out of order, an index that does
    // not match its table), at twice its cost (0.8 s against 0.4 s at 20,000 exams): it runs after
    // an unclean end (a log left with something in it) and before a migration, the quick one at
    // every other start.
    const char *check = unclean || version < kSchemaVersion ? "PRAGMA integrity_check" : "PRAGMA quick_check";
    if (!exec(q, check) || !q.next())
        return fromError(q.lastError(), path, db);
    if (q.value(0).toString() != QLatin1String("ok"))
        return {Outcome::Damaged, {}};
    q.finish();
    // WAL: a commit is one append to the log, and a kill at any moment leaves every committed
    // transaction in the file. FULL syncs the log at each commit, so a stored exam survives a power
    // cut too; an exam is stored once in many minutes, so the sync costs nothing anyone sees.
    if (!exec(q, "PRAGMA foreign_keys = ON") || !exec(q, "PRAGMA journal_mode = WAL") ||
        !exec(q, "PRAGMA synchronous = FULL"))
        return fromError(q.lastError(), path, db);
    q.finish();
    if (version < kSchemaVersion) {
        Outcome migrated = migrate(db, version);
        if (migrated.kind != Outcome::Ok)
            return migrated;
    }
    // What the program reads: a file where one of the tables cannot be read whole is of no use to it.
    for (const QString &sql :
         {selectAll(kExams), selectAll(kAnswers), selectAll(kDrillAnswers), selectAll(kExamSubjects)})
        if (!q.exec(sql + QLatin1String(" LIMIT 0")))
            return {Outcome::Damaged, {}};
    // Only the tables this program makes: a view or a trigger (which this program never makes)
    // could make a read or a store run forever.
    if (!exec(q, "SELECT count(*) AS found FROM sqlite_master WHERE type IN ('view', 'trigger')") ||
        !q.next() || q.value(QStringLiteral("found")).toInt() != 0)
        return {Outcome::Damaged, {}};
    q.finish();
    return {};
}

Outcome History::Private::migrate(QSqlDatabase &db, int from)
{
    QSqlQuery q(db);
    if (!exec(q, "BEGIN IMMEDIATE"))
        return fromError(q.lastError(), path, db);
    const auto fail = [&]() {
        Outcome outcome = fromError(q.lastError(), path, db);
        q.finish();
        QSqlQuery rollback(db);
        exec(rollback, "ROLLBACK");
        return outcome;
    };
    // Read again inside the transaction: another copy of the program may have migrated meanwhile.
    if (!exec(q, "PRAGMA user_version") || !q.next())
        return fail();
    from = q.value(QStringLiteral("user_version")).toInt();
    q.finish();
    if (from == 0) {
        // A new file has no tables; one that has some was not made by this program.
        if (!exec(q, "SELECT count(*) AS found FROM sqlite_master") || !q.next())
            return fail();
        if (q.value(QStringLiteral("found")).toInt() != 0) {
            q.finish();
            QSqlQuery rollback(db);
            exec(rollback, "ROLLBACK");
            return {Outcome::Damaged, {}};
        }
        q.finish();
        for (const QString &sql : {createTable(kExams, 1), createTable(kAnswers, 1)})
            if (!q.exec(sql))
                return fail();
    }
    if (from <= 1) {
        QStringList sql = addColumns(kAnswers, 2) + addColumns(kExams, 2);
        sql << QStringLiteral(
                   "UPDATE exams SET right_count = (SELECT count(*) FROM answers WHERE exam = exams.id"
                   " AND correct <> 0), total_count = (SELECT count(*) FROM answers WHERE exam ="
                   " exams.id)")
            << createTable(kDrillAnswers, 2) << createTable(kExamSubjects, 2);
        for (const QString &statement : sql)
            if (!q.exec(statement))
                return fail();
        // Each answer's subject, from its question's number.
        QList<int> numbers;
        if (!exec(q, "SELECT DISTINCT number FROM answers"))
            return fail();
        const int numberAt = q.record().indexOf(QStringLiteral("number"));
        while (q.next())
            numbers << q.value(numberAt).toInt();
        q.finish();
        if (!q.prepare(QStringLiteral("UPDATE answers SET subject = ? WHERE number = ?")))
            return fail();
        for (int number : numbers) {
            q.bindValue(0, Subjects::of(number));
            q.bindValue(1, number);
            if (!q.exec())
                return fail();
        }
        if (!exec(q,
                  "INSERT INTO exam_subjects SELECT exam, subject, sum(correct <> 0), count(*) FROM answers"
                  " WHERE subject >= 0 GROUP BY exam, subject"))
            return fail();
    }
    if (from <= 2) {
        // Whether the traffic light was consulted and the position shown were not kept before:
        // the earlier answers keep their verdicts.
        for (const QString &statement : addColumns(kAnswers, 3))
            if (!q.exec(statement))
                return fail();
    }
    if (from <= 3) {
        // What the candidate said of a right answer, and where it was given, were not asked before:
        // the earlier drill answers were all given in the drill of mistakes, none asked.
        for (const QString &statement : addColumns(kDrillAnswers, 4))
            if (!q.exec(statement))
                return fail();
        // The index the drill of mistakes read them through, made at every opening of version 3:
        // nothing reads it any more.
        if (!exec(q, "DROP INDEX IF EXISTS answers_mistakes"))
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
    d->openOrSetAside();
    // What was read of a history before may be out of date: it may have changed while closed.
    g_revision.fetch_add(1);
}

void History::Private::storeFailed(const QSqlError &error)
{
    failing = true;
    const Outcome outcome = fromError(error, path, db());
    problem =
        kCannot +
        (outcome.kind == Outcome::Unavailable
             ? outcome.reason
             : QStringLiteral("o arquivo %1 não pôde ser gravado.").arg(QDir::toNativeSeparators(path)));
}

void History::Private::openOrSetAside()
{
    close();
    open = false;
    problem.clear();
    const QString &cannot = kCannot;
    if (path.isEmpty()) {
        problem = cannot + QStringLiteral("não há uma pasta de dados do usuário.");
        return;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        problem =
            cannot + QStringLiteral("a pasta %1 não pôde ser criada.").arg(QDir::toNativeSeparators(folder));
        return;
    }
    // Something odd beside a sound file (a FIFO, a folder, a link to a device where SQLite keeps
    // its log) is set aside alone: the history is kept.
    for (const QString &suffix : kBeside) {
        const QString name = path + suffix;
        if (SafeFile::check(name, std::numeric_limits<qint64>::max()) != SafeFile::Status::NotRegular)
            continue;
        const QString aside = asideName(name);
        if (std::rename(QFile::encodeName(name).constData(), QFile::encodeName(aside).constData()) != 0) {
            problem =
                cannot + QStringLiteral("no lugar do arquivo %1 há algo que não é um arquivo comum e que "
                                        "não pôde ser posto de lado; remova-o.")
                             .arg(QDir::toNativeSeparators(name));
            return;
        }
        problem =
            (problem.isEmpty() ? QString() : problem + QLatin1Char(' ')) +
            QStringLiteral("No lugar do arquivo %1, que acompanha o histórico de estudo, havia algo que não "
                           "é um arquivo comum, agora guardado como %2; o histórico foi mantido.")
                .arg(QFileInfo(name).fileName(), QFileInfo(aside).fileName());
    }
    QString aside; // where the file that could not be used was put
    Outcome::Kind asideKind = Outcome::Ok;
    // What was set aside, and what of it the fresh history holds.
    const auto setAsideNote = [&](int exams, int drill) {
        const QString name = QFileInfo(aside).fileName();
        if (asideKind == Outcome::NotRegular)
            return QStringLiteral("No lugar do histórico de estudo havia algo que não é um arquivo comum, "
                                  "agora guardado como %1; um histórico novo foi começado.")
                .arg(name);
        QString saved;
        if (exams > 0 || drill > 0) {
            const QString examCount =
                exams == 1 ? QStringLiteral("1 prova") : QStringLiteral("%1 provas").arg(exams);
            const QString drillCount = drill == 1 ? QStringLiteral("1 resposta do treino")
                                                  : QStringLiteral("%1 respostas do treino").arg(drill);
            saved = QStringLiteral(" com o que ainda pôde ser lido por inteiro: %1")
                        .arg(exams > 0 && drill > 0 ? examCount + QStringLiteral(" e ") + drillCount
                             : exams > 0            ? examCount
                                                    : drillCount);
        }
        return QStringLiteral("O histórico de estudo estava danificado e foi guardado como %1; um histórico "
                              "novo foi começado%2.")
            .arg(name, saved);
    };
    const QString before = problem;
    const auto withNote = [&before](const QString &text) {
        return before.isEmpty() ? text : before + QLatin1Char(' ') + text;
    };
    for (int round = 0; round < 2; ++round) {
        const Outcome outcome = attempt();
        if (outcome.kind == Outcome::Ok) {
            open = true;
            if (!aside.isEmpty()) {
                const Salvaged saved = asideKind == Outcome::Damaged ? salvage(aside) : Salvaged();
                problem = withNote(setAsideNote(saved.exams, saved.drill));
            }
            return;
        }
        close();
        if (outcome.kind == Outcome::Unavailable || round == 1) {
            const QString reason = outcome.kind == Outcome::Unavailable
                                       ? outcome.reason
                                       : QStringLiteral("um histórico novo não pôde ser começado em %1.")
                                             .arg(QDir::toNativeSeparators(path));
            problem = withNote((aside.isEmpty() ? QString() : setAsideNote(0, 0) + QLatin1Char(' ')) +
                               cannot + reason);
            return;
        }
        // Set aside under a name of its own, with the log, index or journal SQLite keeps beside it
        // (left beside a fresh file, they would be read as its own).
        aside = asideName(path);
        asideKind = outcome.kind;
        if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0) {
            problem = withNote(cannot +
                               QStringLiteral("o arquivo %1 não pode ser usado e não pôde ser posto de lado.")
                                   .arg(QDir::toNativeSeparators(path)));
            return;
        }
        for (const QString &suffix : kBeside) {
            if (QFileInfo::exists(path + suffix) || QFileInfo(path + suffix).isSymLink()) {
                if (std::rename(QFile::encodeName(path + suffix).constData(),
                                QFile::encodeName(aside + suffix).constData()) != 0)
                    QFile::remove(path + suffix);
            }
        }
    }
}

History::Private::Salvaged History::Private::salvage(const QString &from)
{
    Salvaged saved;
    const QString name = connection + QStringLiteral("-salvage");
    {
        QSqlDatabase source = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        source.setDatabaseName(from);
        source.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (source.open())
            saved = salvageFrom(source);
        source.close();
    }
    QSqlDatabase::removeDatabase(name);
    return saved;
}

namespace {
// Reads the rows of a table with an INTEGER PRIMARY KEY `id` that can still be read, in id order,
// each whole (a row that fails to read is left out). Past a page that cannot be read, the rows
// after it are looked for one id at a time, up to kGap ids on.
template <typename Row> QList<Row> readableRows(QSqlDatabase &db, const Table<Row> &table)
{
    constexpr qint64 kGap = 4096; // more rows than a page of any of the tables holds
    // Every column the file has: an older schema's file lacks the later ones.
    const QString all = QLatin1String("SELECT * FROM ") + latin1(table.name);
    QList<Row> rows;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    qint64 last = 0;
    for (;;) {
        if (!q.prepare(all + QLatin1String(" WHERE id > ? ORDER BY id")))
            return rows;
        q.bindValue(0, last);
        if (q.exec()) {
            const RowReader<Row> reader(q, table);
            while (q.next()) {
                Row row;
                reader.read(q, row);
                rows << row;
                last = rows.constLast().id;
            }
            if (!q.lastError().isValid())
                return rows; // read to the end
        }
        q.finish();
        // A page that cannot be read: the next row that can, one id at a time.
        bool found = false;
        if (!q.prepare(all + QLatin1String(" WHERE id = ?")))
            return rows;
        for (qint64 id = last + 1; !found && id <= last + kGap; ++id) {
            q.bindValue(0, id);
            if (q.exec() && q.next()) {
                const RowReader<Row> reader(q, table);
                Row row;
                reader.read(q, row);
                rows << row;
                found = true;
            }
            q.finish();
        }
        if (!found)
            return rows;
        last = rows.constLast().id;
    }
}
} // namespace

History::Private::Salvaged History::Private::salvageFrom(QSqlDatabase &source)
{
    Salvaged saved;
    QSqlQuery q(source);
    q.setForwardOnly(true);
    // Only a history of this program (a view or a trigger could make a read run forever).
    if (!exec(q, "PRAGMA user_version") || !q.next())
        return saved;
    const int version = q.value(0).toInt();
    q.finish();
    if (version < 1 || version > kSchemaVersion ||
        !exec(q, "SELECT count(*) FROM sqlite_master WHERE type IN ('view', 'trigger')") || !q.next() ||
        q.value(0).toInt() != 0)
        return saved;
    q.finish();
    const QList<ExamRow> exams = readableRows(source, kExams);
    const QList<DrillRow> drill = version >= 2 ? readableRows(source, kDrillAnswers) : QList<DrillRow>();

    QSqlDatabase target = db();
    QSqlQuery in(target);
    if (!exec(in, "BEGIN IMMEDIATE"))
        return saved;
    QSqlQuery answers(source);
    answers.setForwardOnly(true);
    if (!answers.prepare(QStringLiteral("SELECT * FROM answers WHERE exam = ? ORDER BY position"))) {
        exec(in, "ROLLBACK");
        return saved;
    }
    for (const ExamRow &row : exams) {
        // An exam is kept only whole: every position from 1 read, agreeing with its counts.
        HistoryExam exam;
        exam.type = row.type;
        exam.start = row.start;
        exam.end = row.end;
        exam.seconds = row.seconds;
        answers.bindValue(0, row.id);
        if (!answers.exec())
            continue;
        const RowReader<AnswerRow> reader(answers, kAnswers);
        while (answers.next()) {
            AnswerRow answer;
            reader.read(answers, answer);
            if (answer.position != exam.answers.size() + 1)
                break;
            exam.answers << answer;
        }
        const bool whole = !answers.lastError().isValid() && !answers.isValid();
        answers.finish();
        if (!whole || exam.answers.isEmpty() || !exam.start.isValid() ||
            (version >= 2 && (exam.seen() != row.total || exam.right() != row.right)))
            continue;
        if (!insertExam(in, exam))
            break;
        ++saved.exams;
    }
    if (in.prepare(insertInto(kDrillAnswers)))
        for (const DrillRow &row : drill) {
            bindRow(in, kDrillAnswers, row);
            if (!in.exec())
                break;
            ++saved.drill;
        }
    in.finish();
    if (!exec(in, "COMMIT")) {
        exec(in, "ROLLBACK");
        return {};
    }
    if (saved.exams || saved.drill)
        g_revision.fetch_add(1);
    return saved;
}

void History::setWriteCheck(WriteCheck check)
{
    g_mayWrite = check ? check : mayWrite;
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
        d->openOrSetAside(); // what failed before may work now: space freed, the other copy closed
    if (!d->open)
        return 0;
    QSqlDatabase db = d->db();
    QSqlQuery q(db);
    if (!d->exec(q, "BEGIN IMMEDIATE")) {
        d->storeFailed(q.lastError());
        return 0;
    }
    qint64 id = insertExam(q, exam);
    if (id) {
        q.finish();
        if (!d->exec(q, "COMMIT"))
            id = 0;
    }
    if (!id) {
        d->storeFailed(q.lastError());
        q.finish();
        QSqlQuery rollback(db);
        d->exec(rollback, "ROLLBACK");
        return 0;
    }
    d->stored();
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
    // The counts are worked out from the answers, and the answers' order is their position.
    if (q.exec(selectAll(kExams, {"right_count", "total_count"}) + QLatin1String(" ORDER BY id"))) {
        const RowReader<ExamRow> reader(q, kExams);
        ExamRow row;
        while (q.next()) {
            reader.read(q, row);
            index.insert(row.id, list.size());
            list << examOf(row);
        }
    }
    if (which == Answers::Marks) {
        for (HistoryExam &exam : list)
            exam.answers.reserve(ExamTypes::kQuestions);
        if (readMarks(d->db(), list, index)) {
            q.finish();
            d->exec(q, "COMMIT");
            return list;
        }
    }
    const QString columns = which == Answers::Marks ? selectAll(kAnswers, {"position", "given", "shown"})
                                                    : selectAll(kAnswers, {"position"});
    if (q.exec(columns + (which != Answers::WrongOnly
                              ? QLatin1String(" ORDER BY exam, position")
                              : QLatin1String(" WHERE correct = 0 AND seen <> 0 ORDER BY exam, position")))) {
        const RowReader<AnswerRow> reader(q, kAnswers);
        AnswerRow row;
        while (q.next()) {
            reader.read(q, row);
            const auto at = index.constFind(row.exam);
            if (at == index.cend())
                continue;
            list[*at].answers << static_cast<const HistoryAnswer &>(row);
        }
    }
    q.finish();
    d->exec(q, "COMMIT");
    return list;
}

HistoryExam History::exam(qint64 id) const
{
    HistoryExam e;
    if (!d->open || id <= 0)
        return e;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    if (!d->exec(q, "BEGIN")) // one snapshot for both reads
        return e;
    const auto read = [&]() {
        if (!q.prepare(selectAll(kExams, {"right_count", "total_count"}) + QLatin1String(" WHERE id = ?")))
            return false;
        q.bindValue(0, id);
        if (!q.exec() || !q.next())
            return false;
        ExamRow row;
        RowReader<ExamRow>(q, kExams).read(q, row);
        e = examOf(row);
        if (!q.prepare(selectAll(kAnswers, {"position"}) +
                       QLatin1String(" WHERE exam = ? ORDER BY position")))
            return false;
        q.bindValue(0, id);
        if (!q.exec())
            return false;
        const RowReader<AnswerRow> reader(q, kAnswers);
        AnswerRow answer;
        while (q.next()) {
            reader.read(q, answer);
            e.answers << static_cast<const HistoryAnswer &>(answer);
        }
        return !q.lastError().isValid();
    };
    if (!read())
        e = HistoryExam();
    q.finish();
    d->exec(q, "COMMIT");
    return e;
}

bool History::remove(const QList<qint64> &ids)
{
    if (!d->open || ids.isEmpty())
        return false;
    QSqlDatabase db = d->db();
    QSqlQuery q(db);
    if (!d->exec(q, "BEGIN IMMEDIATE"))
        return false;
    // The answers and subject totals go with their exam (ON DELETE CASCADE), and by name too, so
    // that a file whose foreign keys were never enforced keeps no orphans.
    const auto removeAll = [&]() {
        for (const char *statement :
             {"DELETE FROM answers WHERE exam = ?", "DELETE FROM exam_subjects WHERE exam = ?",
              "DELETE FROM exams WHERE id = ?"}) {
            if (!q.prepare(latin1(statement)))
                return false;
            for (qint64 id : ids) {
                q.bindValue(0, id);
                if (!q.exec())
                    return false;
            }
        }
        q.finish();
        return d->exec(q, "COMMIT");
    };
    if (!removeAll()) {
        q.finish();
        QSqlQuery rollback(db);
        d->exec(rollback, "ROLLBACK");
        return false;
    }
    g_revision.fetch_add(1);
    return true;
}

QList<HistorySummary> History::summaries() const
{
    QList<HistorySummary> list;
    if (!d->open)
        return list;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    if (!q.exec(selectAll(kExams) + QLatin1String(" ORDER BY id")))
        return list;
    const RowReader<ExamRow> reader(q, kExams);
    ExamRow row;
    while (q.next()) {
        reader.read(q, row);
        list << row;
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
        if (!d->exec(q, "SELECT subject, sum(right_count) AS right_count, sum(total_count) AS total_count"
                        " FROM exam_subjects GROUP BY subject"))
            return totals;
    } else {
        if (!q.prepare(QStringLiteral("SELECT subject, sum(right_count) AS right_count, sum(total_count) AS"
                                      " total_count FROM exam_subjects WHERE exam >= (SELECT min(id) FROM"
                                      " (SELECT id FROM exams ORDER BY id DESC LIMIT ?)) GROUP BY subject")))
            return totals;
        q.bindValue(0, last);
        if (!q.exec())
            return totals;
    }
    // The sums read as the columns they add up.
    const RowReader<SubjectRow> reader(q, kExamSubjects);
    while (q.next()) {
        SubjectRow row;
        reader.read(q, row);
        if (row.subject >= 0 && row.subject < Subjects::kCount)
            totals[row.subject] = {row.right, row.total};
    }
    return totals;
}

bool History::storeDrillAnswer(const DrillAnswer &answer)
{
    if (!d->open)
        d->openOrSetAside();
    if (!d->open)
        return false;
    QSqlQuery q(d->db());
    DrillRow row;
    static_cast<DrillAnswer &>(row) = answer;
    if (!q.prepare(insertInto(kDrillAnswers))) {
        d->storeFailed(q.lastError());
        return false;
    }
    bindRow(q, kDrillAnswers, row);
    if (!q.exec()) {
        d->storeFailed(q.lastError());
        return false;
    }
    d->stored();
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
    if (!q.exec(selectAll(kDrillAnswers, {"id"}) + QLatin1String(" ORDER BY id")))
        return list;
    const RowReader<DrillRow> reader(q, kDrillAnswers);
    DrillRow row;
    while (q.next()) {
        reader.read(q, row);
        list << static_cast<const DrillAnswer &>(row);
    }
    return list;
}

namespace {
// The exam type as the exam window's menu shows it ("7 - Legislação" for type 6), its number alone
// when no item starts it.
QString typeName(int type)
{
    if (type == kTodayFormatType)
        return QStringLiteral("Prova no formato atual");
    for (int item = 0; item < ExamTypes::kItems; ++item)
        if (ExamTypes::typeForItem(item) == type)
            return ExamTypes::caption(item).remove(QLatin1Char('&')).trimmed();
    return QString::number(type);
}

// The right letter of the question as the candidate saw it (through shown, in today's format),
// empty when the bank does not hold it.
QString rightLetter(const StoredQuestion *q, const QString &shown)
{
    if (!q)
        return {};
    bool ok = false;
    const int right = q->text(QuestionKind::Answer).trimmed().toInt(&ok);
    if (!ok || right < 1 || right > q->alternativeCount())
        return {};
    const qsizetype at = shown.isEmpty() ? right - 1 : shown.indexOf(QChar(char16_t(u'0' + right)));
    return at < 0 ? QString() : QString(QChar(char16_t(u'A' + at)));
}

// The question's text on one line.
QString questionText(const StoredQuestion *q)
{
    return q ? q->text(QuestionKind::Text).simplified() : QString();
}

// Writes lines to a QSaveFile in chunks, so that no more than a chunk is ever held.
class CsvWriter {
public:
    explicit CsvWriter(const QString &file) : m_save(file) {}
    bool open()
    {
        // Byte order mark and ';': what spreadsheets set to Brazilian Portuguese read without asking.
        return m_save.open(QIODevice::WriteOnly) && put("\xEF\xBB\xBF");
    }
    bool line(const QStringList &fields)
    {
        appendLine(m_chunk, fields);
        return m_chunk.size() < (1 << 16) || flush();
    }
    bool commit() { return flush() && m_save.commit(); }
    void cancel() { m_save.cancelWriting(); }
    bool failedWriting() const { return m_failed; }

private:
    bool put(const QByteArray &bytes)
    {
        if (m_save.write(bytes) != bytes.size()) {
            m_failed = true;
            return false;
        }
        return true;
    }
    bool flush()
    {
        const bool ok = put(m_chunk);
        m_chunk.clear();
        return ok;
    }
    QSaveFile m_save;
    QByteArray m_chunk;
    bool m_failed = false;
};
} // namespace

QString History::drillCsvName(const QString &file)
{
    const QFileInfo info(file);
    const QString base = info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
    return info.dir().filePath(base + QStringLiteral("-treino") +
                               (info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix()));
}

bool History::exportCsv(const QString &file, QString *error, const Progress &progress) const
{
    if (!d->open) {
        if (error)
            *error = QStringLiteral("O histórico de estudo não está disponível.");
        return false;
    }
    return exportCsv(d->path, file, error, progress);
}

bool History::exportCsv(const QString &historyPath, const QString &file, QString *error,
                        const Progress &progress)
{
    const auto failed = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (error)
        error->clear();
    static std::atomic<int> exports{0};
    const QString connection = QStringLiteral("historico-exporta-%1").arg(exports.fetch_add(1));
    const QString name = QDir::toNativeSeparators(file);
    const QString drillFile = drillCsvName(file);
    const QString unreadable = QStringLiteral("O histórico de estudo não pôde ser lido.");
    const QString cannotMake =
        QStringLiteral("O arquivo %1 não pôde ser criado: verifique se a pasta existe e permite gravar.");
    const QString cannotWrite =
        QStringLiteral("O arquivo %1 não pôde ser gravado por inteiro (o disco pode estar cheio).");
    const QuestionBank &bank = QuestionBank::instance();
    QString problem;
    bool cancelled = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(historyPath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000"));
        CsvWriter exams(file), drill(drillFile);
        [&] {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            // One snapshot for the count, the exams and the drill answers.
            if (!db.open() || !q.exec(QStringLiteral("BEGIN")) ||
                !q.exec(QStringLiteral(
                    "SELECT (SELECT count(*) FROM answers) + (SELECT count(*) FROM drill_answers)")) ||
                !q.next()) {
                problem = unreadable;
                return;
            }
            const qint64 total = q.value(0).toLongLong();
            qint64 done = 0;
            q.finish();
            if (progress && !progress(done, total)) {
                cancelled = true;
                return;
            }
            if (!exams.open()) {
                problem = cannotMake.arg(name);
                return;
            }
            QStringList fields;
            placeHeaders(fields, kExams);
            placeHeaders(fields, kAnswers);
            // Added after the columns of the tables, whose order files already written keep.
            const int extra = int(fields.size());
            fields << QStringLiteral("tipo_nome") << QStringLiteral("gabarito")
                   << QStringLiteral("enunciado");
            if (!exams.line(fields)) {
                problem = cannotWrite.arg(name);
                return;
            }
            if (!q.exec(QLatin1String("SELECT ") + exportedColumns(kExams, "e") + QLatin1String(", ") +
                        exportedColumns(kAnswers, "a") +
                        QLatin1String(
                            " FROM exams e JOIN answers a ON a.exam = e.id ORDER BY e.id, a.position"))) {
                problem = unreadable;
                return;
            }
            const RowReader<ExamRow> examReader(q, kExams, "e");
            const RowReader<AnswerRow> answerReader(q, kAnswers, "a");
            ExamRow exam;
            AnswerRow answer;
            struct Question {
                const StoredQuestion *question;
                QString letter;
                QString text;
            };
            QHash<int, QString> typeNames;
            QHash<int, Question> questions;
            while (q.next()) {
                examReader.read(q, exam);
                answerReader.read(q, answer);
                placeFields(fields, kExams, exam);
                placeFields(fields, kAnswers, answer);
                // Worked out once per type and per question: 3,000,000 lines at 100,000 exams.
                auto type = typeNames.constFind(exam.type);
                if (type == typeNames.cend())
                    type = typeNames.insert(exam.type, typeName(exam.type));
                auto known = questions.constFind(answer.number);
                if (known == questions.cend()) {
                    const StoredQuestion *question = bank.question(answer.number);
                    known = questions.insert(answer.number,
                                             {question, rightLetter(question, {}), questionText(question)});
                }
                fields[extra] = *type;
                fields[extra + 1] =
                    answer.shown.isEmpty() ? known->letter : rightLetter(known->question, answer.shown);
                fields[extra + 2] = known->text;
                if (!exams.line(fields)) {
                    problem = cannotWrite.arg(name);
                    return;
                }
                if (++done % 1000 == 0 && progress && !progress(done, total)) {
                    cancelled = true;
                    return;
                }
            }
            if (q.lastError().isValid()) {
                problem = unreadable;
                return;
            }
            q.finish();
            // The drill's answers: a file of their own beside it.
            if (!drill.open()) {
                problem = cannotMake.arg(QDir::toNativeSeparators(drillFile));
                return;
            }
            if (!drill.line({QStringLiteral("questao"), QStringLiteral("materia"), QStringLiteral("quando"),
                             QStringLiteral("certa"), QStringLiteral("gabarito"), QStringLiteral("enunciado"),
                             QStringLiteral("seguranca"), QStringLiteral("onde")}) ||
                !q.exec(selectAll(kDrillAnswers) + QLatin1String(" ORDER BY id"))) {
                problem = unreadable;
                return;
            }
            const RowReader<DrillRow> drillReader(q, kDrillAnswers);
            DrillRow row;
            while (q.next()) {
                drillReader.read(q, row);
                const StoredQuestion *question = bank.question(row.number);
                if (!drill.line({QString::number(row.number), Subjects::name(Subjects::of(row.number)),
                                 asDate<DrillRow, &DrillRow::at>.text(row),
                                 row.right ? QStringLiteral("sim") : QStringLiteral("não"),
                                 rightLetter(question, QString()), questionText(question),
                                 confidenceText(row.confidence), kindText(row.kind)})) {
                    problem = cannotWrite.arg(QDir::toNativeSeparators(drillFile));
                    return;
                }
                if (++done % 1000 == 0 && progress && !progress(done, total)) {
                    cancelled = true;
                    return;
                }
            }
            if (q.lastError().isValid())
                problem = unreadable;
            q.finish();
            q.exec(QStringLiteral("COMMIT"));
            if (problem.isEmpty() && progress)
                progress(total, total);
        }();
        if (problem.isEmpty() && !cancelled) {
            if (!exams.commit())
                problem = exams.failedWriting()
                              ? cannotWrite.arg(name)
                              : QStringLiteral("O arquivo %1 não pôde ser gravado: o arquivo antigo não "
                                               "foi substituído.")
                                    .arg(name);
            else if (!drill.commit())
                problem = drill.failedWriting()
                              ? cannotWrite.arg(QDir::toNativeSeparators(drillFile))
                              : QStringLiteral("O arquivo %1 não pôde ser gravado: o arquivo antigo não "
                                               "foi substituído.")
                                    .arg(QDir::toNativeSeparators(drillFile));
        } else {
            exams.cancel();
            drill.cancel();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (cancelled)
        return false;
    return problem.isEmpty() || failed(problem);
}

bool History::backupTo(const QString &file, QString *error) const
{
    const auto failed = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!d->open)
        return failed(QStringLiteral("O histórico de estudo não está disponível."));
    const QString name = QDir::toNativeSeparators(file);
    if (QFileInfo(file).absoluteFilePath() == QFileInfo(d->path).absoluteFilePath())
        return failed(QStringLiteral("Escolha um arquivo que não seja o próprio histórico."));
    // One consistent picture of the history as it stands, in a single file (no log beside it),
    // written beside the chosen name and put in its place only when whole.
    const QString work = workName(file);
    QSqlQuery q(d->db());
    if (!q.exec(QStringLiteral("VACUUM INTO ") + sqlText(work)) || !SafeFile::syncToDisk(work)) {
        q.finish();
        QFile::remove(work);
        return failed(
            QStringLiteral("A cópia não pôde ser gravada em %1: verifique se a pasta existe, permite "
                           "gravar e tem espaço.")
                .arg(name));
    }
    if (!Platform::replaceFile(work.toStdU16String(), file.toStdU16String())) {
        QFile::remove(work);
        return failed(QStringLiteral(
                          "A cópia não pôde ser gravada em %1: o arquivo que já existia não foi substituído.")
                          .arg(name));
    }
    SafeFile::syncToDisk(QFileInfo(file).absolutePath(), true);
    return true;
}

namespace {
// Why the history copy at file cannot be restored, in words for the user; empty when it is a
// whole history of this program (of this schema or an earlier one). *exams is its exam count.
QString copyProblem(const QString &file, const QString &connection, int *exams)
{
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery q(db);
        const QString notOurs = QStringLiteral("O arquivo escolhido não é uma cópia do histórico de estudo.");
        // A file that does not open or tell its version counts as version 0: not a history.
        const int version =
            db.open() && q.exec(QStringLiteral("PRAGMA user_version")) && q.next() ? q.value(0).toInt() : 0;
        if (version < 1) {
            problem = notOurs;
        } else if (version > History::kSchemaVersion) {
            problem = QStringLiteral("A cópia foi feita por uma versão mais nova do programa; restaure-a com "
                                     "essa versão.");
        } else {
            q.finish();
            const QStringList tables =
                version >= 2 ? QStringList{QStringLiteral("exams"), QStringLiteral("answers"),
                                           QStringLiteral("drill_answers"), QStringLiteral("exam_subjects")}
                             : QStringList{QStringLiteral("exams"), QStringLiteral("answers")};
            for (const QString &table : tables)
                if (problem.isEmpty() && !q.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(table)))
                    problem = notOurs;
            if (problem.isEmpty() &&
                (!q.exec(QStringLiteral(
                     "SELECT count(*) FROM sqlite_master WHERE type IN ('view', 'trigger')")) ||
                 !q.next() || q.value(0).toInt() != 0))
                problem = notOurs;
            q.finish();
            if (problem.isEmpty() && (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next() ||
                                      q.value(0).toString() != QLatin1String("ok")))
                problem = QStringLiteral("A cópia está danificada e não pode ser restaurada.");
            q.finish();
            if (problem.isEmpty() && q.exec(QStringLiteral("SELECT count(*) FROM exams")) && q.next())
                *exams = q.value(0).toInt();
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return problem;
}
} // namespace

bool History::restoreFrom(const QString &file, QString *message)
{
    const auto failed = [message](const QString &text) {
        if (message)
            *message = text;
        return false;
    };
    if (d->path.isEmpty())
        return failed(QStringLiteral("O histórico de estudo não está disponível."));
    if (QFileInfo(file).absoluteFilePath() == QFileInfo(d->path).absoluteFilePath())
        return failed(QStringLiteral("Escolha uma cópia, não o próprio histórico."));
    if (SafeFile::check(file, std::numeric_limits<qint64>::max()) != SafeFile::Status::Ok)
        return failed(QStringLiteral("O arquivo %1 não existe ou não é um arquivo comum.")
                          .arg(QDir::toNativeSeparators(file)));

    // A single-file picture of the copy as SQLite reads it (with its own log, when one lies beside
    // it), made beside the history so that it can take its place in one rename; checked whole.
    const QString work = workName(d->path);
    const QString reader = d->connection + QStringLiteral("-restore");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), reader);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        bool copied = false;
        if (db.open()) {
            QSqlQuery q(db);
            copied = q.exec(QStringLiteral("VACUUM INTO ") + sqlText(work)) && SafeFile::syncToDisk(work);
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(reader);
        if (!copied) {
            QFile::remove(work);
            int ignored = 0;
            const QString why = copyProblem(file, reader, &ignored);
            return failed(!why.isEmpty()
                              ? why
                              : QStringLiteral("A cópia não pôde ser lida, ou não coube na pasta do "
                                               "histórico (verifique o espaço livre)."));
        }
    }
    int exams = 0;
    if (const QString why = copyProblem(work, reader, &exams); !why.isEmpty()) {
        QFile::remove(work);
        return failed(why);
    }

    // The history now: its log emptied into the file, closed, then kept under a second name while
    // the copy takes its place in one rename. A kill at any moment leaves the old history or the
    // copy at the name, and the old one kept aside once the copy is in.
    if (d->open) {
        QSqlQuery q(d->db());
        q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    d->close();
    d->open = false;
    const QFileInfo log(d->path + QStringLiteral("-wal"));
    if (log.exists() && log.size() > 0) {
        QFile::remove(work);
        d->openOrSetAside();
        return failed(
            QStringLiteral("O histórico de estudo está em uso por outra cópia do programa; feche-a e "
                           "tente de novo."));
    }
    const QString aside = asideName(d->path, QStringLiteral(".antes-da-copia-"));
    const std::u16string path = d->path.toStdU16String();
    const std::u16string asidePath = aside.toStdU16String();
    const std::u16string workPath = work.toStdU16String();
    const bool had = QFileInfo::exists(d->path);
    bool swapped = false;
    if (!had || Platform::hardLink(path, asidePath) == Platform::Link::Made) {
        swapped = Platform::replaceFile(workPath, path);
        if (!swapped && had)
            QFile::remove(aside);
    } else if (Platform::replaceFile(path, asidePath)) {
        // A file system without hard links: moved aside, then the copy in.
        swapped = Platform::replaceFile(workPath, path);
        if (!swapped)
            Platform::replaceFile(asidePath, path);
    }
    if (!swapped) {
        QFile::remove(work);
        d->openOrSetAside();
        return failed(
            QStringLiteral("A cópia não pôde tomar o lugar do histórico: a pasta %1 não permite gravar.")
                .arg(QDir::toNativeSeparators(QFileInfo(d->path).absolutePath())));
    }
    // The old history's log (emptied) and its index must not be read as the copy's.
    for (const QString &suffix : kBeside)
        QFile::remove(d->path + suffix);
    SafeFile::syncToDisk(QFileInfo(d->path).absolutePath(), true);
    d->openOrSetAside();
    g_revision.fetch_add(1);
    const QString count = exams == 1 ? QStringLiteral("1 prova") : QStringLiteral("%1 provas").arg(exams);
    const QString before =
        had ? QStringLiteral(" O histórico de antes foi guardado como %1.").arg(QFileInfo(aside).fileName())
            : QString();
    if (!d->open)
        return failed(QStringLiteral("A cópia foi posta no lugar do histórico, mas não pôde ser aberta.") +
                      before + QLatin1Char(' ') + d->problem);
    if (message)
        *message = QStringLiteral("A cópia foi restaurada: %1.").arg(count) + before;
    return true;
}

bool History::needsMigration(const QString &path)
{
    if (path.isEmpty() || SafeFile::check(path, std::numeric_limits<qint64>::max()) != SafeFile::Status::Ok)
        return false;
    static std::atomic<int> checks{0};
    const QString connection = QStringLiteral("historico-versao-%1").arg(checks.fetch_add(1));
    int version = kSchemaVersion;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
                version = q.value(0).toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return version >= 1 && version < kSchemaVersion;
}

namespace {
std::unique_ptr<History> &held()
{
    static std::unique_ptr<History> instance;
    return instance;
}
} // namespace

History *History::madeInstance()
{
    const std::unique_ptr<History> &made = held();
    return made && made->path() == ProgramFolder::dataFile(QStringLiteral("historico.sqlite")) ? made.get()
                                                                                               : nullptr;
}

History &History::instance()
{
    std::unique_ptr<History> &held = ::held();
    const QString path = ProgramFolder::dataFile(QStringLiteral("historico.sqlite"));
    if (!held || held->path() != path) {
        held.reset(); // the old connection closes before the new one opens
        held = std::make_unique<History>(path);
        // Closed with the application, while Qt's SQL plug-in is still loaded.
        static bool cleanup = false;
        if (!cleanup && QCoreApplication::instance()) {
            cleanup = true;
            qAddPostRoutine([] { ::held().reset(); });
        }
    }
    return *held;
}
