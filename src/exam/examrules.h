// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of an exam that do not need a window: which keys the answer box refuses, letters of
// answer numbers, the time taken, the percentage and the verdict.

#include <QChar>
#include <QString>
#include <QTime>

namespace ExamRules {
// True for a key the answer box refuses with "Selecione uma opção válida!": a digit, or a small
// letter "f" to "z".
bool refusesKey(QChar c);
// "A" to "E" for the answer numbers 1 to 5. Throws EConvertError for any other number.
QString letterFor(int answerNumber);
// A time of day as the program shows it ("HH:mm:ss").
QString timeText(const QTime &t);
// The time taken from start to end, both as shown. When the start text sorts after the end text
// the exam ran past midnight and the result is 23:59:59 - start + end (one second short of the
// real span); otherwise end - start.
QTime timeTaken(const QTime &start, const QTime &end);
// right x 100 / 30, truncated: 21 gives 70, 30 gives 100.
int percentage(int right);

struct Verdict {
    QString text;
    QString picture;
};
// The verdict text and picture name for a number of right answers (0..30).
Verdict verdictFor(int right);
} // namespace ExamRules
