// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/fsrs.h"

#include <algorithm>
#include <cmath>

namespace {
using Fsrs::Parameters;
using Fsrs::Rating;

// JavaScript's Math.round: halves go up (std::round takes them away from zero, which differs for
// negative halves).
double roundHalfUp(double x)
{
    const double whole = std::floor(x);
    return x - whole >= 0.5 ? whole + 1.0 : whole;
}

// The reference rounds most intermediate results to 8 decimals; rounding at the same places keeps
// the two equal. Without it, a stability in the thousands drifts from the reference's by more than
// 1e-4 over a few answers, and a due day (a rounded stability) could move by one.
double round8(double x)
{
    return roundHalfUp(x * 1e8) / 1e8;
}

// 1..4 (a value cast into Rating from outside that range counts as the nearest rating).
int grade(Rating rating)
{
    return std::clamp(static_cast<int>(rating), 1, 4);
}

double retention(const Parameters &parameters)
{
    const double r = parameters.desiredRetention;
    return r > 0.0 && r <= 1.0 ? r : Fsrs::kDefaultRetention;
}

// The curve's exponent, negative: recall falls as a power of the days elapsed.
double decay(const Parameters &parameters)
{
    return -parameters.w[20];
}

// The curve's factor, chosen so that recall is 0.9 when the days elapsed equal the stability.
double curveFactor(const Parameters &parameters)
{
    return round8(std::exp(std::log(0.9) / decay(parameters)) - 1.0);
}

// The days elapsed per day of stability at which recall falls to the desired retention (1 at 0.9).
double intervalModifier(const Parameters &parameters)
{
    return round8((std::pow(retention(parameters), 1.0 / decay(parameters)) - 1.0) / curveFactor(parameters));
}

double initialStability(const Parameters &parameters, Rating rating)
{
    return std::max(parameters.w[static_cast<std::size_t>(grade(rating) - 1)], 0.1);
}

// The first answer's difficulty, before it is bounded to 1..10 (the mean reversion below aims at
// the unbounded value for Easy, which lies below 1 with the default parameters).
double initialDifficulty(const Parameters &parameters, Rating rating)
{
    const auto &w = parameters.w;
    return round8(w[4] - std::exp((grade(rating) - 1) * w[5]) + 1.0);
}

// Good leaves difficulty as it is, Again and Hard raise it, Easy lowers it; the step shrinks as
// difficulty nears 10 (linear damping), and a small share pulls it back towards the first
// difficulty of an Easy answer (mean reversion), so that it does not stick at a bound.
double nextDifficulty(const Parameters &parameters, double easyDifficulty, double difficulty, Rating rating)
{
    const auto &w = parameters.w;
    const double step = -w[6] * (grade(rating) - 3);
    const double damped = difficulty + round8(step * (10.0 - difficulty) / 9.0);
    const double reverted = round8(w[7] * easyDifficulty + (1.0 - w[7]) * damped);
    return std::clamp(reverted, 1.0, 10.0);
}

// Stability after a recalled answer: it grows more when the question is easier, when stability
// is still low and when recall had fallen further (a harder success teaches more); Hard grows it
// less and Easy more.
double recallStability(const Parameters &parameters, double difficulty, double stability, double recall,
                       Rating rating)
{
    const auto &w = parameters.w;
    const double hardPenalty = rating == Rating::Hard ? w[15] : 1.0;
    const double easyBonus = rating == Rating::Easy ? w[16] : 1.0;
    const double growth = std::exp(w[8]) * (11.0 - difficulty) * std::pow(stability, -w[9]) *
                          (std::exp((1.0 - recall) * w[10]) - 1.0) * hardPenalty * easyBonus;
    return round8(std::clamp(stability * (1.0 + growth), Fsrs::kMinStability, Fsrs::kMaxStability));
}

// Stability after a forgotten answer: it starts again from a value that grows with the old
// stability and shrinks with difficulty, and never rises above the old stability.
double forgetStability(const Parameters &parameters, double difficulty, double stability, double recall)
{
    const auto &w = parameters.w;
    const double afterLapse =
        round8(std::clamp(w[11] * std::pow(difficulty, -w[12]) * (std::pow(stability + 1.0, w[13]) - 1.0) *
                              std::exp((1.0 - recall) * w[14]),
                          Fsrs::kMinStability, Fsrs::kMaxStability));
    return std::min(std::max(round8(stability), Fsrs::kMinStability), afterLapse);
}

// A stored card bounded to what review() can make, so that a damaged one cannot poison a replay.
double curve(double elapsedDays, double stability, double factor, const Parameters &parameters)
{
    return round8(std::pow(1.0 + factor * elapsedDays / stability, decay(parameters)));
}

int interval(double stability, double modifier, const Parameters &parameters)
{
    const double maximum = std::max(parameters.maximumInterval, 1);
    const double days = roundHalfUp(stability * modifier);
    // Bounded as a double first: at a very low retention the days overflow an int.
    return static_cast<int>(std::clamp(std::isnan(days) ? 1.0 : days, 1.0, maximum));
}

// What a review needs of the parameters alone, worked out once per review rather than once per
// rating (the same expressions, so the same values).
struct Derived {
    double factor;         // curveFactor
    double modifier;       // intervalModifier
    double easyDifficulty; // initialDifficulty(Easy)
};

Derived derived(const Parameters &parameters)
{
    return {curveFactor(parameters), intervalModifier(parameters),
            initialDifficulty(parameters, Rating::Easy)};
}

Fsrs::Card bounded(Fsrs::Card card)
{
    if (card.state != Fsrs::State::New) {
        card.stability = std::isfinite(card.stability)
                             ? std::clamp(card.stability, Fsrs::kMinStability, Fsrs::kMaxStability)
                             : Fsrs::kMinStability;
        card.difficulty = std::isfinite(card.difficulty) ? std::clamp(card.difficulty, 1.0, 10.0) : 10.0;
    }
    return card;
}
} // namespace

namespace Fsrs {
double forgettingCurve(double elapsedDays, double stability, const Parameters &parameters)
{
    return curve(elapsedDays, stability, curveFactor(parameters), parameters);
}

double retrievability(const Card &card, Day day, const Parameters &parameters)
{
    if (card.state == State::New)
        return 0.0;
    const Card sound = bounded(card);
    const auto elapsed = static_cast<double>(std::max<Day>(day - sound.lastReview, 0));
    return forgettingCurve(elapsed, sound.stability, parameters);
}

double daysToRetention(double stability, const Parameters &parameters)
{
    return stability * intervalModifier(parameters);
}

int nextInterval(double stability, const Parameters &parameters)
{
    return interval(stability, intervalModifier(parameters), parameters);
}

Card review(const Card &card, Day day, Rating rating, const Parameters &parameters)
{
    const Card before = bounded(card);
    const Derived fixed = derived(parameters);
    const bool isNew = before.state == State::New;
    const auto elapsed = isNew ? 0.0 : static_cast<double>(std::max<Day>(day - before.lastReview, 0));
    const double recall = isNew ? 0.0 : curve(elapsed, before.stability, fixed.factor, parameters);

    // The stability each of the four ratings would give: the waits are set for all four, then
    // kept in order (Again no longer than Hard, and Hard, Good and Easy each at least a day
    // longer than the rating below), as the reference does, so that a better answer never
    // brings a question back sooner.
    // A rating's wait depends only on the ratings below it (and Again's on Hard's): the ratings
    // above the one given, Hard excepted, are left out.
    const int highest = std::max(grade(rating), 2);
    std::array<double, 4> stability{};
    std::array<int, 4> wait{};
    for (int g = 1; g <= highest; ++g) {
        const auto r = static_cast<Rating>(g);
        const auto i = static_cast<std::size_t>(g - 1);
        if (isNew)
            stability[i] = initialStability(parameters, r);
        else if (r == Rating::Again)
            stability[i] = forgetStability(parameters, before.difficulty, before.stability, recall);
        else
            stability[i] = recallStability(parameters, before.difficulty, before.stability, recall, r);
        wait[i] = interval(stability[i], fixed.modifier, parameters);
    }
    wait[0] = std::min(wait[0], wait[1]);
    for (int g = 2; g <= highest; ++g) {
        const auto i = static_cast<std::size_t>(g - 1);
        wait[i] = std::max(wait[i], wait[i - 1] + 1);
    }

    const auto chosen = static_cast<std::size_t>(grade(rating) - 1);
    Card after = before;
    after.state = State::Review;
    after.stability = stability[chosen];
    after.difficulty = isNew ? std::clamp(initialDifficulty(parameters, rating), 1.0, 10.0)
                             : nextDifficulty(parameters, fixed.easyDifficulty, before.difficulty, rating);
    after.lastReview = day;
    after.due = day + wait[chosen];
    after.reps = before.reps + 1;
    if (!isNew && rating == Rating::Again)
        ++after.lapses;
    return after;
}
} // namespace Fsrs
