// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "drill.h"

#include "subjects.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <tuple>

namespace {
// One thing that happened to a question: a wrong answer in an exam, or a drill answer.
struct Event {
    QDateTime at;
    int order = 0; // exams before drill answers of the same moment, then as given
    int number = 0;
    int subject = -1;
    bool exam = false;
    bool right = false;
};

bool dueBefore(const DrillCard &a, const DrillCard &b)
{
    return std::tie(a.due, a.box, a.number) < std::tie(b.due, b.box, b.number);
}

bool ofSubject(const DrillCard &card, int subject)
{
    return subject < 0 || card.subject == subject;
}
} // namespace

int Drill::wait(int box)
{
    static constexpr std::array<int, kBoxes> kWaits = {1, 3, 7};
    return kWaits[static_cast<std::size_t>(std::clamp(box, 1, kBoxes) - 1)];
}

DrillCard Drill::enter(int number, int subject, const QDate &day)
{
    DrillCard card;
    card.number = number;
    card.subject = subject >= 0 ? subject : Subjects::of(number);
    card.box = 1;
    card.due = day;
    card.mistake = day;
    return card;
}

DrillCard Drill::answer(DrillCard card, const QDate &day, bool right)
{
    if (!right) {
        card.box = 1;
        card.due = day.addDays(wait(1));
        card.mistake = day;
        card.rightDay = QDate();
        card.rightDays = 0;
        card.left = false;
        return card;
    }
    card.box = std::min(card.box + 1, kBoxes);
    card.due = day.addDays(wait(card.box));
    if (card.rightDays == 0) {
        card.rightDay = day;
        card.rightDays = 1;
    } else if (day != card.rightDay) {
        card.rightDays = kDaysToLeave;
    }
    card.left = card.rightDays >= kDaysToLeave;
    return card;
}

QList<DrillCard> Drill::schedule(const QList<HistoryExam> &exams, const QList<DrillAnswer> &answers)
{
    QList<Event> events;
    int order = 0;
    for (const HistoryExam &exam : exams) {
        const QDateTime at = exam.end.isValid() ? exam.end : exam.start;
        for (const HistoryAnswer &a : exam.answers)
            if (a.seen && !a.known())
                events.append({at, order++, a.number, a.subject, true, false});
    }
    for (const DrillAnswer &a : answers)
        events.append({a.at, order++, a.number, -1, false, a.right});
    std::sort(events.begin(), events.end(), [](const Event &a, const Event &b) {
        return std::tie(a.at, a.order) < std::tie(b.at, b.order);
    });

    QHash<int, DrillCard> cards;
    for (const Event &e : std::as_const(events)) {
        const QDate day = e.at.date();
        if (e.exam) {
            cards.insert(e.number, enter(e.number, e.subject, day));
            continue;
        }
        auto it = cards.find(e.number);
        if (it == cards.end())
            continue;
        *it = answer(*it, day, e.right);
        if (it->left)
            cards.erase(it);
    }
    QList<DrillCard> list = cards.values();
    std::sort(list.begin(), list.end(), dueBefore);
    return list;
}

QList<DrillCard> Drill::due(const QList<DrillCard> &cards, const QDate &today, int subject)
{
    QList<DrillCard> list;
    for (const DrillCard &card : cards)
        if (ofSubject(card, subject) && card.due <= today)
            list.append(card);
    std::sort(list.begin(), list.end(), dueBefore);
    return list;
}

QList<DrillCard> Drill::ahead(const QList<DrillCard> &cards, const QDate &today, int subject)
{
    QList<DrillCard> list;
    for (const DrillCard &card : cards)
        if (ofSubject(card, subject) && card.due > today)
            list.append(card);
    std::sort(list.begin(), list.end(), dueBefore);
    return list;
}
