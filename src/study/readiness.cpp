// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/readiness.h"

#include "study/todayexam.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <vector>

namespace {
constexpr double kGuess = 1.0 / TodayExam::kAlternatives;
constexpr double kRecalledWell = 0.9; // what "studied" means for the gain of a subject

// A draw from Beta(a, b) (a, b > 0), by two gamma draws.
double betaDraw(std::mt19937_64 &rng, double a, double b)
{
    std::gamma_distribution<double> ga(a, 1.0);
    std::gamma_distribution<double> gb(b, 1.0);
    const double x = ga(rng);
    const double y = gb(rng);
    return x + y > 0.0 ? x / (x + y) : 0.5;
}

// The recall of a question on the day, its stability scaled for the candidate.
double recallOn(const Fsrs::Card &card, Fsrs::Day day, double scale)
{
    const double elapsed = static_cast<double>(std::max<Fsrs::Day>(0, day - card.lastReview));
    return Fsrs::forgettingCurve(elapsed, std::max(card.stability * scale, Fsrs::kMinStability));
}

// Per subject: the sum of the chances of the questions answered and how many were not.
struct SubjectSums {
    double known = 0.0;
    double recall = 0.0;
    int answered = 0;
    int unanswered = 0;
};
} // namespace

namespace Readiness {

double passChance(const Shares &expected)
{
    // The distribution of the number right, one position at a time.
    std::array<double, TodayExam::kQuestions + 1> p{};
    p[0] = 1.0;
    int positions = 0;
    const std::array<int, 7> &shares = TodayExam::shares();
    for (std::size_t s = 0; s < shares.size(); ++s) {
        const double q = std::clamp(expected[s], 0.0, 1.0);
        for (int k = 0; k < shares[s]; ++k) {
            ++positions;
            for (int n = positions; n >= 0; --n)
                p[static_cast<std::size_t>(n)] = p[static_cast<std::size_t>(n)] * (1.0 - q) +
                                                 (n > 0 ? p[static_cast<std::size_t>(n - 1)] * q : 0.0);
        }
    }
    double pass = 0.0;
    for (int n = TodayExam::kPassMark; n <= positions; ++n)
        pass += p[static_cast<std::size_t>(n)];
    return std::clamp(pass, 0.0, 1.0);
}

std::vector<std::pair<double, double>> scalePosterior(const Memory::State &state)
{
    constexpr double kPriorSigma = 0.7; // of log k
    constexpr int kSteps = 121;
    const double lo = std::log(0.05);
    const double hi = std::log(20.0);
    // Recall depends on the days elapsed over the stability only: the checks are counted in bins
    // of that ratio (a fortieth of a tenfold each), recalled or not, in study or in an exam.
    constexpr int kBinsPerDecade = 40;
    constexpr double kLowest = 1e-3;
    constexpr int kBins = 7 * kBinsPerDecade; // up to 1e4
    struct Bin {
        std::array<double, 2> recalled{};
        std::array<double, 2> forgot{};
    };
    std::array<Bin, kBins> bins{};
    for (const Memory::State::Check &c : state.checks) {
        const double ratio = c.elapsed / std::max(c.stability, Fsrs::kMinStability);
        const int at = std::clamp(
            static_cast<int>(std::floor(std::log10(std::max(ratio, kLowest) / kLowest) * kBinsPerDecade)), 0,
            kBins - 1);
        Bin &bin = bins[static_cast<std::size_t>(at)];
        (c.recalled ? bin.recalled : bin.forgot)[c.inExam ? 1 : 0] += 1.0;
    }
    std::vector<std::pair<double, double>> grid;
    double bestScore = -1e300;
    for (int i = 0; i < kSteps; ++i) {
        const double logK = lo + (hi - lo) * i / (kSteps - 1);
        const double k = std::exp(logK);
        double score = -0.5 * (logK / kPriorSigma) * (logK / kPriorSigma);
        for (int b = 0; b < kBins; ++b) {
            const Bin &bin = bins[static_cast<std::size_t>(b)];
            if (bin.recalled[0] + bin.recalled[1] + bin.forgot[0] + bin.forgot[1] == 0.0)
                continue;
            const double ratio = kLowest * std::pow(10.0, (b + 0.5) / kBinsPerDecade);
            const double r = Fsrs::forgettingCurve(ratio, k);
            for (int exam = 0; exam < 2; ++exam) {
                const double p = std::clamp(exam ? r + (1.0 - r) * kGuess : r, 1e-6, 1.0 - 1e-6);
                score += bin.recalled[static_cast<std::size_t>(exam)] * std::log(p) +
                         bin.forgot[static_cast<std::size_t>(exam)] * std::log(1.0 - p);
            }
        }
        grid.emplace_back(k, score);
        bestScore = std::max(bestScore, score);
    }
    double sum = 0.0;
    for (auto &[k, weight] : grid) {
        weight = std::exp(weight - bestScore);
        sum += weight;
    }
    for (auto &[k, weight] : grid)
        weight /= sum;
    return grid;
}

Estimate estimate(const Memory::State &state, const Pools &pools, Fsrs::Day day)
{
    Estimate e;
    const std::vector<std::pair<double, double>> posterior = scalePosterior(state);
    std::size_t map = 0;
    for (std::size_t i = 1; i < posterior.size(); ++i)
        if (posterior[i].second > posterior[map].second)
            map = i;
    e.scale = posterior[map].first;

    // Per subject, the answered questions' chances at the grid's scale i (worked out when needed).
    std::vector<std::optional<std::array<SubjectSums, Subjects::kCount>>> sumsAt(posterior.size());
    const auto sums = [&](std::size_t i) -> const std::array<SubjectSums, Subjects::kCount> & {
        if (!sumsAt[i]) {
            std::array<SubjectSums, Subjects::kCount> out{};
            for (std::size_t s = 0; s < pools.size(); ++s)
                for (int number : pools[s]) {
                    const auto found = state.questions.constFind(number);
                    if (found == state.questions.cend()) {
                        ++out[s].unanswered;
                        continue;
                    }
                    const double r = recallOn(found->card, day, posterior[i].first);
                    out[s].known += r + (1.0 - r) * kGuess;
                    out[s].recall += r;
                    ++out[s].answered;
                }
            sumsAt[i] = out;
        }
        return *sumsAt[i];
    };
    // The subject's mean chance with the unanswered questions at first-attempt share `first`.
    const auto meanChance = [](const SubjectSums &sum, double first) {
        const int n = sum.answered + sum.unanswered;
        return n > 0 ? (sum.known + first * sum.unanswered) / n : 0.0;
    };

    int subjectsAnswered = 0;
    for (std::size_t s = 0; s < pools.size(); ++s) {
        const SubjectSums &sum = sums(map)[s];
        const Memory::Tally &t = state.firstAttempts[s];
        e.answered[s] = sum.answered;
        e.total[s] = static_cast<int>(pools[s].size());
        e.recall[s] = sum.answered > 0 ? sum.recall / sum.answered : -1.0;
        e.expected[s] = meanChance(sum, (t.right + 1.0) / (t.total + 2.0));
        subjectsAnswered += t.total > 0 ? 1 : 0;
    }
    e.enough = state.answers >= kMinAnswers && subjectsAnswered >= kMinSubjects;

    // The chance and its band over what is not known for sure: the candidate's scale from its
    // posterior, and each subject's first-attempt share from its own.
    // A fixed start on purpose: the same history must give the same chance and band every time.
    std::mt19937_64 rng(20261208); // NOLINT(cert-msc32-c,cert-msc51-cpp)
    std::vector<double> weights;
    weights.reserve(posterior.size());
    for (const auto &[k, weight] : posterior)
        weights.push_back(weight);
    std::discrete_distribution<std::size_t> scaleDraw(weights.begin(), weights.end());
    QList<double> draws;
    draws.reserve(kBandDraws);
    double total = 0.0;
    for (int k = 0; k < kBandDraws; ++k) {
        const std::array<SubjectSums, Subjects::kCount> &at = sums(scaleDraw(rng));
        Shares x{};
        for (std::size_t s = 0; s < pools.size(); ++s) {
            const Memory::Tally &t = state.firstAttempts[s];
            x[s] = meanChance(at[s], betaDraw(rng, t.right + 1.0, t.total - t.right + 1.0));
        }
        draws.append(passChance(x));
        total += draws.constLast();
    }
    std::sort(draws.begin(), draws.end());
    e.chance = total / kBandDraws;
    e.low = draws[kBandDraws / 10];
    e.high = draws[kBandDraws - 1 - kBandDraws / 10];
    const double point = passChance(e.expected);

    // Where study would help most.
    QList<int> order;
    for (std::size_t s = 0; s < pools.size(); ++s) {
        if (pools[s].isEmpty())
            continue;
        Shares studied = e.expected;
        const double well = kRecalledWell + (1.0 - kRecalledWell) * kGuess;
        studied[s] = std::max(e.expected[s], well);
        e.gain[s] = passChance(studied) - point;
        order.append(static_cast<int>(s));
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return e.gain[static_cast<std::size_t>(a)] > e.gain[static_cast<std::size_t>(b)];
    });
    for (int s : std::as_const(order))
        if (e.raise.size() < 3 && e.gain[static_cast<std::size_t>(s)] > 0.0)
            e.raise.append(s);
    return e;
}

QList<DayChance> curve(const QList<Memory::Event> &events, const Pools &pools, Fsrs::Day before, int days)
{
    // The days to show: the last `days` days with an answer before `before`.
    QList<Fsrs::Day> shown;
    for (auto it = events.crbegin(); it != events.crend() && shown.size() < days; ++it)
        if (it->day < before && (shown.isEmpty() || shown.constLast() != it->day))
            shown.append(it->day);
    std::reverse(shown.begin(), shown.end());

    QList<DayChance> out;
    Memory::State state;
    qsizetype next = 0; // the next day of `shown` to estimate
    const auto estimateTo = [&](Fsrs::Day until) {
        while (next < shown.size() && shown[next] < until) {
            const Estimate e = estimate(state, pools, shown[next]);
            out.append({shown[next], e.enough, e.chance, e.low, e.high});
            ++next;
        }
    };
    for (const Memory::Event &event : events) {
        if (next >= shown.size() || event.day >= before)
            break;
        estimateTo(event.day);
        Memory::apply(state, event);
    }
    estimateTo(before);
    return out;
}

QHash<int, int> modulesOf(const QuestionBank &bank)
{
    QHash<int, int> out;
    for (const QList<StoredQuestion> *list : {&bank.questions(), &bank.studyQuestions()})
        for (const StoredQuestion &q : *list)
            if (q.module > 0)
                out.insert(q.number, q.module);
    return out;
}

Modules byModule(const Memory::State &state, const Pools &pools, const QHash<int, int> &moduleOf,
                 Fsrs::Day day, double scale)
{
    Modules out;
    std::array<double, kModules> sum{};
    const std::array<int, Subjects::kCount> &shares = TodayExam::shares();
    for (std::size_t s = 0; s < pools.size(); ++s) {
        const Memory::Tally &t = state.firstAttempts[s];
        const double first = (t.right + 1.0) / (t.total + 2.0);
        for (int number : pools[s]) {
            const int m = moduleOf.value(number) - 1;
            if (m < 0 || m >= kModules)
                continue;
            const auto i = static_cast<std::size_t>(m);
            ++out.total[i];
            out.inExam[i] += static_cast<double>(shares[s]) / static_cast<double>(pools[s].size());
            const auto found = state.questions.constFind(number);
            if (found == state.questions.cend()) {
                sum[i] += first;
                continue;
            }
            ++out.answered[i];
            const double r = recallOn(found->card, day, scale);
            sum[i] += r + (1.0 - r) * kGuess;
        }
    }
    for (std::size_t i = 0; i < out.expected.size(); ++i)
        out.expected[i] = out.total[i] > 0 ? sum[i] / out.total[i] : 0.0;
    return out;
}
} // namespace Readiness
