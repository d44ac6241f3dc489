// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One exam of the eighteen types, from its start to its correction, without a window: the type and
// the questions of its thirty positions, where the candidate is, the answer sheet (answers given,
// right letters, marks), at which positions the traffic light was consulted, the start and end,
// the counts and the exam as corrected. The exam window shows a session and turns the candidate's
// keys and clicks into its calls; the layer above keeps the corrected exam it reports.

#include "exam/answersheet.h"
#include "exam/examtypes.h"
#include "store/binarydataset.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QTime>

#include <array>

class QuestionBank;

// A corrected exam as it is reported to be kept: its type, when it ran, the time taken as the
// answer sheet shows it, and each position as corrected (position 1 first).
struct CorrectedExam {
    int type = 0;
    QDateTime start;
    QDateTime end;
    int seconds = 0;
    QList<QuestaoCorrigida> positions;
};

class ExamSession {
public:
    ExamSession();

    // Where the exam stands: type, position (1..30, 31 past the end), the current question's
    // number and the personalised exam's list of numbers.
    TExamState &state() { return m_state; }
    const TExamState &state() const { return m_state; }
    int type() const { return m_state.TipoProva; }
    int position() const { return m_state.Posicao; }
    int question() const { return m_state.NumeroQuestao; }

    // Draws the personalised exam's thirty numbers from the pool file at path (made anew from the
    // default pool when missing or not sound, see PersonalPool) into the list. Throws the store's
    // errors when the file cannot be made or replaced.
    void drawPersonalised(const QString &path, const QSet<int> &known);

    // Starts an exam of type at position 1 with an empty answer sheet and no results; at is the
    // local date and time it starts (the sheet shows its time of day to the second).
    void start(int type, const QDateTime &at);
    // Moves to position (1..31) and looks its question up (ProcurarProva).
    void moveTo(int position);

    // The answer given at position 1..30 ("" when none); what the sheet's row Given holds.
    QString answer(int position) const;
    void setAnswer(int position, const QString &letter);
    // The right letter of the current question, read from bank.
    QString rightLetter(const QuestionBank &bank) const;
    // The traffic light consulted at the current position: with a letter typed (checked against
    // the right one) or on an empty box (filled with the right one). Either way the position counts
    // as consulted from then on.
    void consultLight(bool filledIn);
    bool lightConsulted(int position) const;
    bool filledByLight(int position) const;
    // True when position (1..30) has been shown in this exam.
    bool seen(int position) const { return position >= 1 && position <= m_lastSeen; }

    // Ends the exam at the local date and time at; the sheet's row Position is numbered.
    void finish(const QDateTime &at);
    QTime startTime() const { return m_startTime; }
    QTime endTime() const { return m_endTime; }
    // The time taken as the answer sheet shows it (see ExamRules::timeTaken).
    QTime timeTaken() const;

    // Corrects the exam against bank: the right letters and marks on the sheet, the counts, and
    // the exam as corrected; the exam is left at position 30. Throws EConvertError, before changing anything,
    // for a question whose right answer is not a letter or a personalised number that is not a number.
    void correct(const QuestionBank &bank);
    bool isCorrected() const { return !m_corrected.isEmpty(); }
    AnswerSheet::Counts counts() const { return m_counts; }
    // The exam as corrected, position 1 first; empty until corrected.
    const QList<QuestaoCorrigida> &corrected() const { return m_corrected; }
    // The corrected exam as it is reported to be kept.
    CorrectedExam record() const;

    const AnswerSheet &sheet() const { return m_sheet; }
    // Sets a cell of the answer sheet (column 0..29, row AnswerSheet::Row).
    void setCell(int column, int row, const QString &text) { m_sheet.setCell(column, row, text); }

private:
    TExamState m_state;
    AnswerSheet m_sheet;
    std::array<bool, ExamTypes::kQuestions> m_consulted{};
    std::array<bool, ExamTypes::kQuestions> m_filled{};
    int m_lastSeen = 0; // positions are shown in order: 1..m_lastSeen have been
    QDateTime m_start;
    QDateTime m_end;
    QTime m_startTime;
    QTime m_endTime;
    AnswerSheet::Counts m_counts;
    QList<QuestaoCorrigida> m_corrected;
    // The table store of the personalised exam's pool file and its one field.
    TBinaryDataSet m_pool;
    TField &m_poolNumber;
};
