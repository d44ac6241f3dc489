// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/memory.h"

#include "exam/questionbank.h"

#include <algorithm>

namespace Memory {

Fsrs::Day dayOf(const QDate &date)
{
    return date.toJulianDay();
}

QDate dateOf(Fsrs::Day day)
{
    return QDate::fromJulianDay(day);
}

std::optional<Fsrs::Rating> ratingOf(const HistoryAnswer &answer)
{
    if (!answer.seen)
        return std::nullopt;
    return answer.known() ? Fsrs::Rating::Good : Fsrs::Rating::Again;
}

Fsrs::Rating ratingOf(const DrillAnswer &answer)
{
    if (!answer.right)
        return Fsrs::Rating::Again;
    switch (answer.confidence) {
    case DrillAnswer::Confidence::Thought:
        return Fsrs::Rating::Hard;
    case DrillAnswer::Confidence::Guessed:
        return Fsrs::Rating::Again;
    case DrillAnswer::Confidence::Knew:
    case DrillAnswer::Confidence::NotAsked:
        break;
    }
    return Fsrs::Rating::Good;
}

void apply(State &state, const Event &event, const Fsrs::Parameters &parameters)
{
    auto found = state.questions.find(event.number);
    const bool first = found == state.questions.end();
    if (first) {
        found = state.questions.insert(event.number, Question{event.number, event.subject, {}});
        if (event.subject >= 0 && event.subject < Subjects::kCount) {
            Tally &t = state.firstAttempts[static_cast<std::size_t>(event.subject)];
            ++t.total;
            t.right += event.right && event.honest ? 1 : 0;
        }
    } else if (event.day > found->card.lastReview) {
        // Answers on the day of the one before tell nothing of recall across days.
        state.checks.append({static_cast<double>(event.day - found->card.lastReview), found->card.stability,
                             event.rating != Fsrs::Rating::Again, !event.inStudy});
    }
    if (event.inStudy)
        ++state.studyDays[event.day][first ? 1 : 0];
    found->card = Fsrs::review(found->card, event.day, event.rating, parameters);
    ++state.answers;
}

QList<Event> events(const QList<HistoryExam> &exams, const QList<DrillAnswer> &answers)
{
    // A retired question is never asked again: nothing of it is due, nothing of it is expected.
    const QuestionBank &bank = QuestionBank::instance();
    struct Timed {
        qint64 at = 0; // milliseconds since the epoch, worked out once
        int order = 0; // exams before study answers of the same moment, then as given
        Event event;
    };
    QList<Timed> all;
    qsizetype size = answers.size();
    for (const HistoryExam &exam : exams)
        size += exam.answers.size();
    all.reserve(size);
    int order = 0;
    for (const HistoryExam &exam : exams) {
        const QDateTime at = exam.end.isValid() ? exam.end : exam.start;
        const qint64 ms = at.toMSecsSinceEpoch();
        const Fsrs::Day day = dayOf(at.date());
        for (const HistoryAnswer &a : exam.answers) {
            const std::optional<Fsrs::Rating> rating = ratingOf(a);
            if (!rating || bank.isRetired(a.number))
                continue;
            const int subject = a.subject >= 0 ? a.subject : Subjects::of(a.number);
            all.append({ms, order++, {a.number, subject, day, *rating, a.known(), !a.revealed, false}});
        }
    }
    for (const DrillAnswer &a : answers) {
        if (bank.isRetired(a.number))
            continue;
        all.append(
            {a.at.toMSecsSinceEpoch(),
             order++,
             {a.number, Subjects::of(a.number), dayOf(a.at.date()), ratingOf(a), a.right, true, true}});
    }
    // (at, order) is unique: no stable sort needed.
    std::sort(all.begin(), all.end(),
              [](const Timed &x, const Timed &y) { return x.at != y.at ? x.at < y.at : x.order < y.order; });
    QList<Event> out;
    out.reserve(all.size());
    for (const Timed &t : std::as_const(all))
        out.append(t.event);
    return out;
}

State replay(const QList<HistoryExam> &exams, const QList<DrillAnswer> &answers)
{
    State state;
    for (const Event &e : events(exams, answers))
        apply(state, e);
    return state;
}
} // namespace Memory
