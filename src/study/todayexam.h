// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exam in today's format (Res. CONTRAN 1.020/2025): thirty questions drawn from the whole bank,
// the blocks and the study files, in fixed shares per subject; each shown with four alternatives,
// the right one and three of its wrong ones in an order drawn for this exam; at least twenty right
// answers pass; a time limit the candidate may change (a setting, sixty minutes unless changed).
//
// The exam remembers which of the bank's alternatives stands behind each letter shown, so an
// answer given as a shown letter is mapped back to the bank's alternative and corrected, stored in
// the history as shown, and reviewed with the same four alternatives in the same order.

#include "exam/answersheet.h"
#include "exam/examtypes.h"
#include "study/history.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <optional>

class QuestionBank;

// One position of the exam: the question and the bank's alternatives (1 = A .. 5 = E of the bank)
// shown as A, B, C and D.
struct TodayQuestion {
    int number = 0;
    std::array<int, 4> shown{};
    int right = 0; // the index (0..3) of the shown letter that is right
};

class TodayExam {
public:
    static constexpr int kQuestions = ExamTypes::kTodayQuestions;
    static constexpr int kAlternatives = ExamTypes::kTodayAlternatives;
    static constexpr int kPassMark = ExamTypes::kTodayPassMark;
    static constexpr int kDefaultMinutes = 60;
    static constexpr int kMinMinutes = 5;
    static constexpr int kMaxMinutes = 180;
    // "Tempo ampliado": the candidate entitled to it (dyslexia, attention deficit, autism) sits the
    // exam with twice the time; an exam kept while running may hold up to twice the longest limit.
    static constexpr int kExtendedFactor = 2;
    static constexpr int kMaxExtendedMinutes = kMaxMinutes * kExtendedFactor;

    // How many of the thirty questions each subject gives (index Subjects::Subject); they add up
    // to thirty.
    static const std::array<int, 7> &shares();
    // True when right answers pass the exam (at least kPassMark).
    static bool passes(int right) { return right >= kPassMark; }

    // The numbers of the questions the exam may draw for each subject (index Subjects::Subject), in
    // the bank's order: those whose alternatives are all written and whose right answer is one of
    // them, and which are not retired from study.
    static std::array<QList<int>, 7> pools(const QuestionBank &bank);

    // An exam over bank (not owned; it must outlive the exam); nothing drawn yet.
    explicit TodayExam(const QuestionBank &bank);

    // Draws a new exam with a generator started from `start` (the same start draws the same exam
    // from the same bank) and forgets every answer. A subject with fewer usable questions than its share
    // leaves the rest to the other subjects; a bank with fewer than thirty usable questions gives a
    // shorter exam. A question is usable when all its alternatives are written, its right answer
    // is one of them and it is not retired.
    void draw(quint32 start);
    // Draws with a generator started at random.
    void draw();

    const QList<TodayQuestion> &questions() const { return m_questions; }
    int size() const { return static_cast<int>(m_questions.size()); }

    // The texts of position 1..size(): the question, the picture code, and the alternative shown
    // under letter index 0..3 (empty outside the exam).
    QString text(int position) const;
    QString picture(int position) const;
    QString alternative(int position, int letterIndex) const;

    // The answer at position 1..size(): "A".."D", or empty to clear it; anything else is ignored.
    void setAnswer(int position, const QString &letter);
    QString answer(int position) const;
    // How many positions have an answer.
    int answered() const;
    // Position 1..size() was shown to the candidate; one never shown is neither right nor wrong.
    void markSeen(int position);
    bool seen(int position) const;
    // The first position after `after` (going round to 1) with no answer; 0 when every one has one.
    int nextUnanswered(int after) const;

    // The bank's alternative (1..5) shown under letter ("A".."D") at position; 0 for another letter
    // or position.
    int bankAlternative(int position, const QString &letter) const;
    // The shown letter of the right alternative at position.
    QString rightLetter(int position) const;
    // True when letter, as shown at position, is the right alternative.
    bool isRight(int position, const QString &letter) const;

    // The right answers given.
    int right() const;
    // Per subject (index Subjects::Subject): the right answers and the questions the exam asked.
    QList<SubjectTotal> bySubject() const;
    bool passed() const { return passes(right()); }

    // The exam as the history keeps it: type kTodayFormatType, the times given, the seconds taken
    // (those between start and end unless given: an exam continued in a later run of the program
    // took less than that), the answers as shown with the bank's alternatives behind A..D as
    // digits ("3152"), and which positions were shown.
    HistoryExam historyExam(const QDateTime &start, const QDateTime &end, int seconds = -1) const;
    // The exam as the review shows it: the answers and right letters as shown, "*" or "X", and the
    // bank's alternatives behind A..D.
    QList<QuestaoCorrigida> corrected() const;

    // An exam in progress as it is kept between runs of the program, beside the exam itself.
    struct Progress {
        QDateTime start;  // when the exam began (what the history stores)
        int minutes = 0;  // the time limit
        int elapsed = 0;  // seconds of it used
        int position = 1; // the position shown
    };
    // The exam, its answers, which positions were shown and progress, as a small JSON text.
    QByteArray saveProgress(const Progress &progress) const;
    // Takes back an exam saved by saveProgress() over the same bank. Nothing when the text is not
    // such an exam (damaged, of another version, naming a question the bank lacks or alternatives
    // it does not have, a right letter that is no longer right, figures out of bounds); the exam
    // is then left as it was.
    std::optional<Progress> restoreProgress(const QByteArray &text);
    // Where the exam in progress is kept: the user's data folder.
    static QString progressFile();

    // Seconds left of a limit of minutes begun at start, at now; never below 0.
    static int secondsLeft(const QDateTime &start, const QDateTime &now, int minutes);
    // Seconds as "mm:ss" ("60:00", "05:09"); hours are counted in minutes.
    static QString mmss(int seconds);

    // The time limit in minutes, from the program's settings file (section "ProvaAtual", key
    // "Minutos"); kDefaultMinutes when none is written or it is not a number, kept within
    // kMinMinutes..kMaxMinutes.
    static int timeLimitMinutes();
    // Writes the time limit (kept within the bounds). False when the file could not be written.
    static bool setTimeLimitMinutes(int minutes);

private:
    const TodayQuestion *at(int position) const;

    const QuestionBank &m_bank;
    QList<TodayQuestion> m_questions;
    QList<QString> m_answers;
    QList<bool> m_seen;
};
