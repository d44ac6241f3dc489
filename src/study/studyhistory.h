#pragma once
// The study history as the windows use it: History::instance(), after telling the user once (in a
// warning box) what went wrong with its file when something did, e.g. a damaged file set aside;
// and the exams the exam window corrects, kept there.

#include "study/history.h"

#include <QString>

struct CorrectedExam;

namespace StudyHistory {
History &get();
// Tells the user text in a warning box, followed by what is wrong with the history when anything
// is; a text already told in this run is not told again.
void tellOnce(const QString &text);

// Store through the history: when a store fails after working (or the history could not be opened)
// the caller tells the user as it does; when a store works again after that, the user is told
// once that the history keeps exams again.
qint64 store(const HistoryExam &exam);
bool storeDrillAnswer(const DrillAnswer &answer);

// A corrected exam of the eighteen types as the history keeps it: its type and times, and each
// position's question, answer and whether it was right.
HistoryExam entryFor(const CorrectedExam &exam);
// Stores a corrected exam; that the history could not keep it is told once (the answer sheet
// stands either way).
void keep(const CorrectedExam &exam);
} // namespace StudyHistory
