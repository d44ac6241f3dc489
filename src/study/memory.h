// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the candidate remembers of each question, worked out by replaying every answer in the study
// history through the review model (fsrs.h): nothing of it is stored apart from the answers.
//
// How an answer grades the question:
// - a wrong answer, a blank on a position the candidate saw, or a position where the traffic light
//   was consulted: Again;
// - a right answer in an exam (where nothing is asked): Good;
// - a right answer in the reviews or in study by subject: what the candidate said of it: "Sei"
//   Good, "Acho" Hard, "Chutei" Again (a quarter of the questions not known are right by chance);
//   an answer stored before the candidate was asked counts as Good;
// - a position the exam never showed is not an answer, nor is any answer to a question retired from
//   study (the bank's "Retirada:"): it is never asked again.
// Each day of the model is a local calendar day.

#include "study/fsrs.h"
#include "study/history.h"
#include "study/subjects.h"

#include <QDate>
#include <QHash>
#include <QList>

#include <array>
#include <optional>

namespace Memory {
// A day of the model: QDate::toJulianDay().
Fsrs::Day dayOf(const QDate &date);
QDate dateOf(Fsrs::Day day);

// One answer as the model takes it.
struct Event {
    int number = 0;
    int subject = -1;
    Fsrs::Day day = 0;
    Fsrs::Rating rating = Fsrs::Rating::Again;
    bool right = false;   // the answer given was the right one (even when guessed)
    bool honest = true;   // given without the traffic light's help: counts as a first attempt
    bool inStudy = false; // given in the reviews or in study by subject (the daily limits count it)
};

// The rating of an exam's position; none for a position never shown.
std::optional<Fsrs::Rating> ratingOf(const HistoryAnswer &answer);
// The rating of an answer in the reviews or in study by subject.
Fsrs::Rating ratingOf(const DrillAnswer &answer);

// Right answers out of the answers counted.
struct Tally {
    int right = 0;
    int total = 0;
};

// One question as its answers leave it.
struct Question {
    int number = 0;
    int subject = -1;
    Fsrs::Card card;
};

// Everything the replay works out.
struct State {
    QHash<int, Question> questions; // every question answered at least once
    // Per subject (index Subjects::Subject): the first answer to each question, right or not: what
    // a question never answered may be expected to give.
    std::array<Tally, Subjects::kCount> firstAttempts{};
    int answers = 0; // answers replayed
    // Each later answer on another day than the one before it: the days elapsed, the stability the
    // model had then, and whether the candidate recalled (rated Hard or better; in an exam, answered
    // right, which a guess may also be): how well the model's curve fits this candidate.
    struct Check {
        double elapsed = 0.0;
        double stability = 0.0;
        bool recalled = false;
        bool inExam = false;
    };
    QList<Check> checks;
    // Per day, the answers given in study on questions already answered before (reviews) and on
    // questions answered for the first time (new).
    QHash<Fsrs::Day, std::array<int, 2>> studyDays;
};

// Adds one answer to state (answers must come in time order).
void apply(State &state, const Event &event, const Fsrs::Parameters &parameters = {});
// Every answer of the exams and of the study, in time order (an exam's answers at its end, before a
// study answer of the same moment); none for a question the bank has retired.
QList<Event> events(const QList<HistoryExam> &exams, const QList<DrillAnswer> &answers);
// The state after every answer.
State replay(const QList<HistoryExam> &exams, const QList<DrillAnswer> &answers);
} // namespace Memory
