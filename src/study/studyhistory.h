// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The study history as the windows use it: History::instance(), after telling the user once (in a
// warning box) what went wrong with its file when something did, e.g. a damaged file set aside;
// and the exams the exam window corrects, kept there. A history of an earlier schema is migrated
// through the runner, off the windows' thread, before it is opened.

#include "study/history.h"
#include "study/memory.h"
#include "study/readiness.h"

#include <QString>

#include <functional>

struct CorrectedExam;
struct QuestaoCorrigida;
class QuestionBank;

namespace StudyHistory {
History &get();

// How a long piece of work on the history runs while the windows go on: work is run on a thread
// of its own and the runner returns when it has ended (the windows show a progress box meanwhile).
// By default work runs where it is called. nullptr restores the default.
using Runner = std::function<void(const QString &what, const std::function<void()> &work)>;
void setRunner(Runner runner);
// Tells the user text in a warning box, followed by what is wrong with the history when anything
// is; a text already told in this run is not told again.
void tellOnce(const QString &text);

// Store through the history: when a store fails after working (or the history could not be opened)
// the caller tells the user as it does; when a store works again after that, the user is told
// once that the history keeps exams again.
qint64 store(const HistoryExam &exam);
bool storeDrillAnswer(const DrillAnswer &answer);

// What the candidate remembers by every answer in the history (memory.h): replayed when first
// asked for, then kept up to date with what store() and storeDrillAnswer() add; replayed again when
// the history changed otherwise (exams removed, a copy restored, another file, a store elsewhere).
const Memory::State &memory();
// The chance of passing at the end of each of the last `days` days with an answer before today
// (readiness.h), for an exam on that day. Worked out by replaying the history; kept for the day
// while the history changes only by what store() and storeDrillAnswer() add (answers of today).
QList<Readiness::DayChance> chanceCurve(const Readiness::Pools &pools, Fsrs::Day today, int days);

// A corrected exam of the eighteen types as the history keeps it: its type and times, and each
// position's question, answer and whether it was right.
HistoryExam entryFor(const CorrectedExam &exam);
// A stored exam as its review shows it: each position's answer, with the right letter (as the
// exam showed the alternatives) and the mark worked out from the bank; a question the bank no
// longer has is marked "-" (not checked).
QList<QuestaoCorrigida> reviewOf(const HistoryExam &exam, const QuestionBank &bank);
// Stores a corrected exam; that the history could not keep it is told once (the answer sheet
// stands either way).
void keep(const CorrectedExam &exam);
} // namespace StudyHistory
