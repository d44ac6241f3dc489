// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chance of passing the exam in today's format (at least 20 right of 30) on a given day, worked
// out from what the candidate remembers (memory.h).
//
// Each question's chance of a right answer on that day:
// - answered before: its recall on that day as the review model has it, plus the right guesses of
//   whoever does not recall (one in four alternatives). The model's forgetting curve is fitted to
//   the candidate first: its time is scaled by the factor under which the candidate's own later
//   answers were most likely (recalled or not after so many days at such a stability), with a
//   prior that keeps the factor near 1 until the answers say otherwise (scalePosterior());
// - never answered: the share of first answers that were right in its subject (guesses included),
//   from a neutral prior (one right and one wrong), so that few answers leave it uncertain.
// The exam draws each subject's share of questions from that subject's questions: each position
// of a subject is right with the subject's mean chance, and the number right over the thirty
// positions follows from them exactly (a sum of independent positions, worked out position by
// position). What is not known for sure (the curve's factor for this candidate, each subject's
// first-attempt share) is drawn from its posterior kBandDraws times with a fixed generator (the
// same history gives the same figures): the chance is the mean over the draws, the band their 10th
// to 90th percentile.
//
// Before kMinAnswers answers in at least kMinSubjects subjects there is not enough to judge.

#include "study/memory.h"

#include "exam/questionbank.h"

#include <QHash>
#include <QList>

#include <array>
#include <utility>
#include <vector>

namespace Readiness {
constexpr int kMinAnswers = 150;
constexpr int kMinSubjects = 4;
// The draws of the band.
constexpr int kBandDraws = 400;

using Pools = std::array<QList<int>, Subjects::kCount>;
using Shares = std::array<double, Subjects::kCount>;

struct Estimate {
    bool enough = false; // enough answers to judge (the chance is worked out either way)
    double scale = 1.0;  // timeScale() of the candidate
    double chance = 0.0; // of at least 20 right, 0..1
    double low = 0.0;    // the 80 % band
    double high = 0.0;
    Shares expected{}; // per subject, the mean chance of a right answer on the day
    Shares recall{};   // per subject, the mean recall of the questions answered (-1: none)
    std::array<int, Subjects::kCount> answered{}; // per subject, questions answered at least once
    std::array<int, Subjects::kCount> total{};    // per subject, questions the exam may draw
    // The subjects where study would raise the chance most (at most three, the most first), and
    // how much each would (the chance with every question of the subject recalled at 90 %).
    QList<int> raise;
    Shares gain{};
};

// The chance of at least passMark right answers of an exam drawing shares[s] questions of subject
// s, each right with expected[s].
double passChance(const Shares &expected);
// The factor k by which this candidate's stabilities are multiplied (recall after t days at
// stability S is the model's recall at stability k·S), over a grid of its values: (k, probability)
// pairs, the probabilities adding up to 1, from the recall of state.checks and a log-normal prior
// centred on 1. The chance and its band average over it; Estimate::scale is the most likely k.
std::vector<std::pair<double, double>> scalePosterior(const Memory::State &state);
// The estimate for the day (a QDate's Julian day).
Estimate estimate(const Memory::State &state, const Pools &pools, Fsrs::Day day);

// The course's four modules as the exam in today's format draws them.
struct Modules {
    std::array<double, kModules> inExam{};   // questions of the module a drawn exam holds, on average
    std::array<int, kModules> answered{};    // questions of the module answered at least once
    std::array<int, kModules> total{};       // questions of the module the exam may draw
    std::array<double, kModules> expected{}; // the mean chance of a right answer on the day
};
// By module (moduleOf: question number -> 1..4; a question of no module is left out), at the day,
// with the candidate's curve scaled by `scale` (Estimate::scale): each question answered before at
// its recall plus the right guesses, each other at its subject's first-attempt share.
// Each question of the bank (blocks and study) that names its module: number -> 1..4.
QHash<int, int> modulesOf(const QuestionBank &bank);
Modules byModule(const Memory::State &state, const Pools &pools, const QHash<int, int> &moduleOf,
                 Fsrs::Day day, double scale);

// The chance as it stood at the end of a day, for an exam on that same day.
struct DayChance {
    Fsrs::Day day = 0;
    bool enough = false;
    double chance = 0.0;
    double low = 0.0;
    double high = 0.0;
};
// The chance over the days: the answers (in time order) replayed, and at the end of each of the
// last `days` days with an answer before `before`, the estimate for an exam on that day. Oldest
// first.
QList<DayChance> curve(const QList<Memory::Event> &events, const Pools &pools, Fsrs::Day before, int days);
} // namespace Readiness
