// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drill of one's own mistakes: which questions answered wrong in exams are to be practised,
// and when. Nothing of it is stored apart: the drill is worked out afresh from the stored exams and
// the drill answers, replayed in time order.
//
// The questions move through three boxes (Leitner's), each with its wait: 1, 3 and 7 days.
// - A wrong answer in an exam puts the question in box 1, due that same day.
// - A right drill answer moves it up one box (at most to box 3), due the box's wait after the
//   answer: box 2 three days, box 3 seven days.
// - A wrong drill answer puts it back in box 1, due the next day, and forgets the right answers
//   given before it.
// - A question leaves the drill once it has been answered right on two different days since its
//   last mistake (rights on one day count once). A wrong answer in a later exam brings it back.
// Right answers in exams change nothing; a drill answer for a question outside the drill neither.

#include "study/history.h"

#include <QDate>
#include <QList>

// One question of the drill as the answers so far leave it.
struct DrillCard {
    int number = 0;
    int subject = -1;  // Subjects::Subject, -1 when the number is not in the bank
    int box = 1;       // 1..3
    QDate due;         // the day from which it is offered
    QDate mistake;     // the day of its last mistake, in an exam or in the drill
    QDate rightDay;    // the day of its first right answer since that mistake; null when none
    int rightDays = 0; // different days it was answered right since that mistake
    bool left = false; // answered right on two different days: out of the drill
};

namespace Drill {
constexpr int kBoxes = 3;
// Days right answers on different days needed to leave the drill.
constexpr int kDaysToLeave = 2;

// The wait of box 1..3 in days: 1, 3, 7.
int wait(int box);

// The card that a wrong answer in an exam at day makes of number (subject as given, or looked up
// in the bank when -1).
DrillCard enter(int number, int subject, const QDate &day);
// The card after a drill answer given at day: up a box or back to box 1, and out of the drill at
// the second day of rights.
DrillCard answer(DrillCard card, const QDate &day, bool right);

// Every question in the drill now, worked out from the exams and the drill answers (each in any
// order; they are replayed by time, an exam's answers at its end, or its start when it has none,
// before a drill answer of the same moment). The questions that left are not in the list; the
// order is due() order.
QList<DrillCard> schedule(const QList<HistoryExam> &exams, const QList<DrillAnswer> &answers);

// The cards of subject (-1: all) due on or before today, the oldest due first (then the lower box,
// then the lower number).
QList<DrillCard> due(const QList<DrillCard> &cards, const QDate &today, int subject = -1);
// The cards of subject (-1: all) not yet due at today, the soonest first: what training ahead
// offers.
QList<DrillCard> ahead(const QList<DrillCard> &cards, const QDate &today, int subject = -1);
} // namespace Drill
