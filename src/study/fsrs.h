// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The memory model that schedules reviews: FSRS-6 (the Free Spaced Repetition Scheduler, version
// 6, with its 21 published default parameters), in whole days. Each question is a card with a
// stability (the days after which its recall falls to 90 %) and a difficulty (1..10); every answer,
// graded Again, Hard, Good or Easy, moves both and sets the day the question is due again.
//
// Whole days are the unit: there are no short-term (same-day) learning steps and no random spread
// of the intervals, so that the schedule is the same at every replay of the answers. Under those
// settings the model gives exactly what the reference implementation (npm ts-fsrs 5.x) gives:
// tools/fsrs-fixture writes its results for random answer sequences and tst_fsrs replays them.
//
// Pure functions of their arguments; nothing here throws.

#include <array>
#include <cstdint>

namespace Fsrs {
// A day as a whole number (QDate::toJulianDay(), or any count of days).
using Day = std::int64_t;

enum class Rating { Again = 1, Hard = 2, Good = 3, Easy = 4 };
enum class State { New, Review };

// The 21 default parameters w[0..20] of FSRS-6.
inline constexpr std::array<double, 21> kDefaultWeights = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
inline constexpr double kDefaultRetention = 0.9;
inline constexpr int kDefaultMaximumInterval = 36500;
// The bounds of stability in days.
inline constexpr double kMinStability = 0.001;
inline constexpr double kMaxStability = 36500.0;

struct Parameters {
    std::array<double, 21> w = kDefaultWeights;
    // The recall probability the next review is set for, in (0, 1]; outside it the default.
    double desiredRetention = kDefaultRetention;
    // The longest wait in days (at least 1).
    int maximumInterval = kDefaultMaximumInterval;
};

// One question's memory as the answers so far leave it.
struct Card {
    State state = State::New; // New until its first answer
    double stability = 0.0;   // days for recall to fall to 90 %; 0 while New
    double difficulty = 0.0;  // 1..10; 0 while New
    Day due = 0;              // the day it is due for review (meaningless while New)
    Day lastReview = 0;       // the day of its last answer (meaningless while New)
    int reps = 0;             // answers given
    int lapses = 0;           // Again answers after the first answer
};

// The card after an answer rated rating on day. A day before the last review counts as the same
// day (a clock set back must not break the replay).
Card review(const Card &card, Day day, Rating rating, const Parameters &parameters = {});

// The probability of recall after elapsedDays (>= 0) at stability: the forgetting curve, 0.9 when
// elapsedDays equals stability.
double forgettingCurve(double elapsedDays, double stability, const Parameters &parameters = {});
// The card's probability of recall on day; 0 for a New card.
double retrievability(const Card &card, Day day, const Parameters &parameters = {});

// The days (not rounded) after which recall at stability falls to the desired retention.
double daysToRetention(double stability, const Parameters &parameters = {});
// The wait in whole days that the model sets at stability: daysToRetention rounded, at least 1 and
// at most the maximum interval.
int nextInterval(double stability, const Parameters &parameters = {});
} // namespace Fsrs
