// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The study history: every corrected exam and every answer given in the reviews and in study by
// subject, kept in an SQLite database in the user's data folder (ProgramFolder::dataFile). The
// schema carries its version (PRAGMA user_version) and older files are migrated when opened; the
// journal is WAL, and each exam is stored in one transaction, so a kill at any moment loses at
// most the exam being stored. A file that cannot be used (damaged, not a database, not a regular
// file, from a newer program) is set aside under a new name and a fresh history started; problem()
// then says so once. Nothing here throws.

#include "exam/examtypes.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// One position of a stored exam.
struct HistoryAnswer {
    int number = 0; // the question's number in the bank (1..530, or a study number from 1001)
    QString given;  // the letter answered as the candidate saw it ("A".."E"), empty when none
    // Known: answered right without the traffic light's help. A letter the light checked or wrote
    // in is stored with revealed set and right false, whatever the answer sheet scored.
    bool right = false;
    // Today's format shows four of the question's alternatives in an order of its own: the bank's
    // alternative numbers (1 = A .. 5 = E) shown as A, B, C, D, as digits ("3152"). Empty when the
    // question's alternatives were shown as the bank has them.
    QString shown;
    int subject = -1;      // Subjects::Subject; filled by store() from the number
    bool revealed = false; // the traffic light was consulted here before the exam ended
    // The position was shown to the candidate. One never shown is neither right nor wrong: it
    // counts in no total and never enters the drill.
    bool seen = true;
    // Counted as known in every study figure.
    bool known() const { return right && seen && !revealed; }
};

// One stored exam.
struct HistoryExam {
    qint64 id = 0;   // given by store()
    int type = 0;    // 1..18 the exam types, kTodayFormatType the exam in today's format
    QDateTime start; // local date and time
    QDateTime end;
    // start, end (and a drill answer's at) come back with the offset from UTC they had when
    // stored: their date() and time() are the local ones of that moment.
    int seconds = 0;              // the time taken
    QList<HistoryAnswer> answers; // position 1 first
    // The answers known (HistoryAnswer::known) and those shown.
    int right() const;
    int seen() const;
};
constexpr int kTodayFormatType = ExamTypes::kTodayFormat;

// An exam without its answers: what the chart and the list of exams need.
struct HistorySummary {
    qint64 id = 0;
    int type = 0;
    QDateTime start;
    QDateTime end;
    int seconds = 0;
    int right = 0;
    int total = 0;
};

// Right answers out of all answers in one subject.
struct SubjectTotal {
    int right = 0;
    int total = 0;
};

// One answer given in the reviews ("Revisões de hoje") or in study by subject.
struct DrillAnswer {
    // What the candidate said of a right answer.
    enum class Confidence {
        NotAsked = 0,
        Knew = 1 /* Sei */,
        Thought = 2 /* Acho */,
        Guessed = 3 /* Chutei */
    };
    // Where it was given.
    enum class Kind { Review = 0, Subject = 1 };
    int number = 0;
    QDateTime at; // local date and time
    bool right = false;
    // NotAsked for a wrong answer and for answers stored before the question was asked.
    Confidence confidence = Confidence::NotAsked;
    Kind kind = Kind::Review;
};

class History {
public:
    // The schema version this program writes (PRAGMA user_version); a file of a later version is
    // set aside.
    static constexpr int kSchemaVersion = 4;

    // Opens the history at path, creating it (and migrating an older schema) as needed.
    explicit History(const QString &path);
    ~History();
    History(const History &) = delete;
    History &operator=(const History &) = delete;

    QString path() const;
    // True when the history can be read and written.
    bool isOpen() const;
    // What went wrong with the file found at path, in words for the user ("O histórico … foi
    // guardado como …; um histórico novo foi começado."), or why no history can be kept or the last
    // store failed, naming the cause (a full disk, a file that does not allow writing, another
    // program using it); empty when all is well.
    QString problem() const;

    // Stores exam (with its answers' subjects filled in) in one transaction. Returns its new id,
    // 0 when it could not be stored (nothing of it is then kept). A history that could not be
    // opened is tried again first, so a fault that has passed (space freed, the other program
    // closed) no longer loses exams; a store that works clears the problem of the one before.
    qint64 store(const HistoryExam &exam);
    // Which answers exams() reads with each exam.
    enum class Answers { All, WrongOnly, Marks };
    // Every stored exam with its answers, oldest first: all of them; only the wrong ones; or all of
    // them without the letter given and the alternatives shown (what the memory of each question
    // needs, read faster).
    QList<HistoryExam> exams(Answers which = Answers::All) const;
    // The stored exam with that id and its answers; an exam with id 0 when there is none.
    HistoryExam exam(qint64 id) const;
    // Removes the exams with these ids, with their answers, in one transaction. False when nothing
    // was removed (the history unavailable or the transaction failed).
    bool remove(const QList<qint64> &ids);
    // Every stored exam without its answers, oldest first.
    QList<HistorySummary> summaries() const;
    // Right and total answers per subject (index Subjects::Subject) over the last `last` exams, or
    // over all when last is 0.
    QList<SubjectTotal> subjectTotals(int last = 0) const;

    // Stores one drill answer, trying a closed history again as store() does. False when it could
    // not be stored.
    bool storeDrillAnswer(const DrillAnswer &answer);
    // Every drill answer, oldest first.
    QList<DrillAnswer> drillAnswers() const;

    // How the history asks whether this process may write a file or folder (access(2) by default).
    // Tests replace it: a process run by root may write any file. nullptr restores the default.
    using WriteCheck = bool (*)(const QString &path);
    static void setWriteCheck(WriteCheck check);

    // A number that grows with every exam or drill answer stored by this program, in any history,
    // and with every opening of a history (it may have changed while closed):
    // a window that shows the history reads it again when the number is not the one it read at.
    static quint64 revision();

    // Called as an export goes on with what is done and the total (answers and drill answers);
    // returning false cancels it.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    // Writes the whole history as CSV (one line per answer, with its exam's data, then the exam
    // type as the menu names it, the right letter as the candidate saw it and the question's
    // text) to file, and the drill's answers to drillCsvName(file), each replacing its file
    // atomically; streamed, so that no more than a chunk of the text is held. False with *error
    // set when they could not be written, and with *error empty when progress cancelled (no file
    // is then changed).
    bool exportCsv(const QString &file, QString *error = nullptr, const Progress &progress = {}) const;
    // The same for the history file at historyPath, read through a connection of its own: it may
    // run on any thread while the program goes on using the history.
    static bool exportCsv(const QString &historyPath, const QString &file, QString *error,
                          const Progress &progress = {});
    // Where the export writes the drill's answers: "<name>-treino.csv" beside file.
    static QString drillCsvName(const QString &file);

    // Writes a copy of the whole history to file, consistent while the program runs (SQLite's
    // VACUUM INTO: one file, no log beside it), replacing file atomically. False with *error set
    // when it could not be written.
    bool backupTo(const QString &file, QString *error = nullptr) const;
    // Puts the copy at file in the history's place: the copy is read (with its own log when one
    // lies beside it) into a single file beside the history and checked whole (a history of this
    // program, of this schema or an earlier one, passing SQLite's integrity_check); then the history,
    // its log emptied into it, is kept as historico.sqlite.antes-da-copia-<date> and the copy
    // renamed over it, and the old log and index removed so that they are never read as the copy's.
    // The history is open again afterwards (migrated when the copy is older). *message says what
    // was done (how many exams, where the old one went) or why nothing was.
    bool restoreFrom(const QString &file, QString *message = nullptr);

    // True when the file at path is a history of an earlier schema, which opening migrates (in
    // one transaction: a kill meanwhile leaves it as it was, and the next opening starts again).
    static bool needsMigration(const QString &path);

    // The history of the running program, at ProgramFolder::dataFile("historico.sqlite"); opened
    // again when that name changes (tests point the folder elsewhere).
    static History &instance();
    // That history when it is open already for the current name, else nullptr (nothing is opened).
    static History *madeInstance();

private:
    struct Private;
    Private *d;
};
