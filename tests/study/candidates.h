// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Synthetic candidates, to check the chance of passing against something it was not built from.
//
// Their real memory follows a model unlike the review model's (a power curve fitted to flashcard
// data): each question has a difficulty drawn from a spread, each candidate an ability; a question
// is known before any study with a chance that grows with ability over difficulty (common sense);
// knowledge fades exponentially with a half-life of its own; each exposure with its answer shown
// teaches: a question recalled gets a longer half-life (more so when it had faded), one not recalled
// is learnt with a chance and a short half-life. A candidate who does not recall guesses among four.
// What they say of a right answer is mostly honest: "Sei" or "Acho" when recalled, "Chutei" (or at
// times "Acho") when guessed.
//
// They study with the program's own scheduler (reviews.h: the due reviews within the daily limit,
// then new questions), on most days, for 10 to 60 days, sit a mock exam in today's format every few
// days, and then the exam. The program's chance (readiness.h) is worked out on the exam's day from
// the memory their answers left (memory.h), as the program works it out from a history.

#include "study/readiness.h"
#include "study/reviews.h"
#include "study/todayexam.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <unordered_map>
#include <vector>

namespace Candidates {

// One candidate's outcome.
struct Outcome {
    double predicted = 0.0; // the program's chance on the exam's day
    double low = 0.0;
    double high = 0.0;
    bool enough = false; // the program judged it had enough answers
    double naive = 0.0;  // the pass rate of the last three mock exams (0.5 without any)
    bool passed = false; // the exam's result
    int days = 0;
    int answers = 0;
};

// The bank the candidates study: seven subjects of the sizes the real bank has about, numbered in
// hundreds per subject.
inline Readiness::Pools pools()
{
    const std::array<int, Subjects::kCount> sizes = {180, 220, 260, 420, 130, 110, 160};
    Readiness::Pools p;
    int number = 1;
    for (std::size_t s = 0; s < sizes.size(); ++s) {
        for (int k = 0; k < sizes[s]; ++k)
            p[s].append(number++);
        number = (number / 100 + 1) * 100;
    }
    return p;
}

inline double sigmoid(double x)
{
    return 1.0 / (1.0 + std::exp(-x));
}

class Simulation {
public:
    explicit Simulation(std::uint64_t start) : m_rng(start), m_pools(pools())
    {
        std::normal_distribution<double> spread(0.0, 1.0);
        for (const QList<int> &pool : m_pools)
            for (int number : pool)
                m_difficulty[number] = spread(m_rng);
        // Subjects differ too: some are harder on the whole.
        for (std::size_t s = 0; s < m_pools.size(); ++s) {
            const double shift = std::normal_distribution<double>(0.0, 0.4)(m_rng);
            for (int number : m_pools[s])
                m_difficulty[number] += shift;
        }
    }

    Outcome candidate()
    {
        std::uniform_real_distribution<double> u(0.0, 1.0);
        Person p;
        p.ability = std::normal_distribution<double>(0.0, 0.8)(m_rng);
        p.studyDays = 10 + static_cast<int>(u(m_rng) * 51);
        p.diligence = 0.45 + 0.55 * u(m_rng);
        p.freshPerDay = 5 + static_cast<int>(u(m_rng) * 26);
        p.mockEvery = 3 + static_cast<int>(u(m_rng) * 6);
        p.halfLife = std::exp(std::normal_distribution<double>(std::log(4.0), 0.5)(m_rng));
        m_truth.clear();

        Memory::State state;
        const QDate first(2026, 1, 5);
        QList<bool> mocks;
        Reviews::Limits limits{60, p.freshPerDay};
        for (int d = 0; d < p.studyDays; ++d) {
            const QDate today = first.addDays(d);
            if (u(m_rng) > p.diligence)
                continue;
            const QList<Reviews::Item> due = Reviews::due(state, today);
            const int reviews = std::min<int>(static_cast<int>(due.size()),
                                              Reviews::reviewsLeft(state, today, limits, due.size(), {}));
            for (int k = 0; k < reviews; ++k)
                study(p, state, due[k].number, today);
            const QList<Reviews::Item> fresh = Reviews::fresh(state, m_pools, today);
            const int count =
                std::min<int>(static_cast<int>(fresh.size()), Reviews::freshLeft(state, today, limits));
            for (int k = 0; k < count; ++k)
                study(p, state, fresh[k].number, today);
            if ((d + 1) % p.mockEvery == 0)
                mocks.append(exam(p, &state, today) >= TodayExam::kPassMark);
        }
        const QDate examDay = first.addDays(p.studyDays);
        const Readiness::Estimate e = Readiness::estimate(state, m_pools, Memory::dayOf(examDay));
        Outcome o;
        o.predicted = e.chance;
        o.low = e.low;
        o.high = e.high;
        o.enough = e.enough;
        o.days = p.studyDays;
        o.answers = state.answers;
        const qsizetype last = std::min<qsizetype>(3, mocks.size());
        o.naive = last == 0 ? 0.5
                            : static_cast<double>(std::count(mocks.end() - last, mocks.end(), true)) /
                                  static_cast<double>(last);
        o.passed = exam(p, nullptr, examDay) >= TodayExam::kPassMark;
        return o;
    }

private:
    struct Person {
        double ability = 0.0;
        int studyDays = 0;
        double diligence = 1.0; // the share of days studied
        int freshPerDay = 20;
        int mockEvery = 5;
        double halfLife = 4.0; // after first learning, in days, for a question of middling difficulty
    };
    struct Trace {
        bool known = false;
        double halfLife = 0.0;
        Fsrs::Day last = 0;
    };

    Trace &trace(const Person &p, int number, Fsrs::Day day)
    {
        auto found = m_truth.find(number);
        if (found != m_truth.end())
            return found->second;
        Trace t;
        // Known before any study: common sense, or what a driver picks up.
        if (std::uniform_real_distribution<double>(0.0, 1.0)(m_rng) <
            sigmoid(p.ability - m_difficulty[number] - 0.6)) {
            t.known = true;
            t.halfLife = 40.0 * std::exp(0.5 * (p.ability - m_difficulty[number]));
            t.last = day;
        }
        return m_truth.emplace(number, t).first->second;
    }

    double recall(const Trace &t, Fsrs::Day day) const
    {
        if (!t.known)
            return 0.0;
        return std::exp2(-static_cast<double>(std::max<Fsrs::Day>(0, day - t.last)) / t.halfLife);
    }

    // An exposure with the answer shown afterwards.
    void learn(const Person &p, Trace &t, int number, Fsrs::Day day, bool recalled)
    {
        const double ease = p.ability - m_difficulty[number];
        if (recalled) {
            const double faded = 1.0 - recall(t, day);
            t.halfLife *= 1.3 + 2.0 * sigmoid(ease) * (0.4 + faded);
        } else if (std::uniform_real_distribution<double>(0.0, 1.0)(m_rng) < sigmoid(ease + 1.0)) {
            t.known = true;
            t.halfLife = p.halfLife * std::exp(0.6 * ease);
        }
        t.last = day;
    }

    void study(const Person &p, Memory::State &state, int number, const QDate &today)
    {
        std::uniform_real_distribution<double> u(0.0, 1.0);
        const Fsrs::Day day = Memory::dayOf(today);
        Trace &t = trace(p, number, day);
        const bool recalled = u(m_rng) < recall(t, day);
        const bool right = recalled || u(m_rng) < 0.25;
        DrillAnswer a;
        a.number = number;
        a.right = right;
        a.kind = DrillAnswer::Kind::Subject;
        if (right)
            a.confidence =
                recalled
                    ? (u(m_rng) < 0.8 ? DrillAnswer::Confidence::Knew : DrillAnswer::Confidence::Thought)
                    : (u(m_rng) < 0.8 ? DrillAnswer::Confidence::Guessed : DrillAnswer::Confidence::Thought);
        Memory::apply(state, {number, subjectOf(number), day, Memory::ratingOf(a), right, true, true});
        learn(p, t, number, day, recalled);
    }

    // A drawn exam in today's format: the right answers. With state, a mock exam: its answers are
    // kept and its review teaches; without, the exam itself.
    int exam(const Person &p, Memory::State *state, const QDate &today)
    {
        std::uniform_real_distribution<double> u(0.0, 1.0);
        const Fsrs::Day day = Memory::dayOf(today);
        int right = 0;
        for (std::size_t s = 0; s < m_pools.size(); ++s) {
            std::vector<int> pool(m_pools[s].begin(), m_pools[s].end());
            for (int k = 0; k < TodayExam::shares()[s]; ++k) {
                const auto j = k + static_cast<std::size_t>(u(m_rng) * static_cast<double>(pool.size() - k));
                std::swap(pool[static_cast<std::size_t>(k)], pool[std::min(j, pool.size() - 1)]);
                const int number = pool[static_cast<std::size_t>(k)];
                Trace &t = trace(p, number, day);
                const bool recalled = u(m_rng) < recall(t, day);
                const bool ok = recalled || u(m_rng) < 0.25;
                right += ok ? 1 : 0;
                if (state) {
                    HistoryAnswer a;
                    a.number = number;
                    a.right = ok;
                    Memory::apply(*state,
                                  {number, static_cast<int>(s), day, *Memory::ratingOf(a), ok, true, false});
                    learn(p, t, number, day, recalled);
                }
            }
        }
        return right;
    }

    int subjectOf(int number) const
    {
        for (std::size_t s = 0; s < m_pools.size(); ++s)
            if (!m_pools[s].isEmpty() && number >= m_pools[s].first() && number <= m_pools[s].last())
                return static_cast<int>(s);
        return -1;
    }

    std::mt19937_64 m_rng;
    Readiness::Pools m_pools;
    std::unordered_map<int, double> m_difficulty;
    std::unordered_map<int, Trace> m_truth;
};

// The calibration over outcomes: per tenth of the predictions, how many, the mean prediction and
// the pass frequency; and the Brier scores of the prediction and of the naive forecast.
struct Calibration {
    struct Tenth {
        int count = 0;
        double predicted = 0.0;
        double passed = 0.0;
    };
    std::array<Tenth, 10> tenths{};
    double brier = 0.0;
    double naiveBrier = 0.0;
    int count = 0;
};

inline Calibration calibrate(const std::vector<Outcome> &outcomes)
{
    Calibration c;
    for (const Outcome &o : outcomes) {
        Calibration::Tenth &t =
            c.tenths[static_cast<std::size_t>(std::clamp(static_cast<int>(o.predicted * 10), 0, 9))];
        ++t.count;
        t.predicted += o.predicted;
        t.passed += o.passed ? 1.0 : 0.0;
        const double y = o.passed ? 1.0 : 0.0;
        c.brier += (o.predicted - y) * (o.predicted - y);
        c.naiveBrier += (o.naive - y) * (o.naive - y);
        ++c.count;
    }
    for (Calibration::Tenth &t : c.tenths)
        if (t.count > 0) {
            t.predicted /= t.count;
            t.passed /= t.count;
        }
    if (c.count > 0) {
        c.brier /= c.count;
        c.naiveBrier /= c.count;
    }
    return c;
}
} // namespace Candidates
