// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/reviews.h"

#include "common/settingsfile.h"

#include <QRandomGenerator>

#include <algorithm>
#include <map>

namespace {
const QString kSection = QStringLiteral("Estudo");
const QString kReviewsKey = QStringLiteral("RevisoesPorDia");
const QString kNewKey = QStringLiteral("NovasPorDia");
const QString kExamKey = QStringLiteral("DataDaProva");

int readCount(const QString &key, int fallback)
{
    bool ok = false;
    const int n = SettingsFile::readString(SettingsFile::path(), kSection, key).trimmed().toInt(&ok);
    return ok ? std::clamp(n, 0, Reviews::kMaxPerDay) : fallback;
}

bool inSubject(int itemSubject, int subject)
{
    return subject < 0 || itemSubject == subject;
}
} // namespace

namespace Reviews {

Limits limits()
{
    return {readCount(kReviewsKey, kDefaultReviews), readCount(kNewKey, kDefaultNew)};
}

bool setLimits(const Limits &l)
{
    const QString file = SettingsFile::path();
    return SettingsFile::writeString(file, kSection, kReviewsKey,
                                     QString::number(std::clamp(l.reviews, 0, kMaxPerDay))) &&
           SettingsFile::writeString(file, kSection, kNewKey,
                                     QString::number(std::clamp(l.fresh, 0, kMaxPerDay)));
}

std::optional<QDate> examDate(const QDate &today)
{
    const QDate d = QDate::fromString(
        SettingsFile::readString(SettingsFile::path(), kSection, kExamKey).trimmed(), Qt::ISODate);
    if (!d.isValid() || d < today)
        return std::nullopt;
    return d;
}

bool setExamDate(const std::optional<QDate> &date)
{
    return SettingsFile::writeString(SettingsFile::path(), kSection, kExamKey,
                                     date && date->isValid() ? date->toString(Qt::ISODate) : QString());
}

namespace {
// The questions of subject (-1: all) answered before whose due day is on or before today (due) or
// after it, with their recall today.
QList<Item> answered(const Memory::State &state, const QDate &today, int subject, bool due)
{
    const Fsrs::Day day = Memory::dayOf(today);
    QList<Item> out;
    for (const Memory::Question &q : state.questions)
        if (inSubject(q.subject, subject) && (q.card.due <= day) == due)
            out.append({q.number, q.subject, Fsrs::retrievability(q.card, day), q.card.due, false});
    return out;
}
} // namespace

QList<Item> due(const Memory::State &state, const QDate &today, int subject)
{
    QList<Item> out = answered(state, today, subject, true);
    std::sort(out.begin(), out.end(), [](const Item &a, const Item &b) {
        if (a.recall != b.recall)
            return a.recall < b.recall;
        return a.due != b.due ? a.due < b.due : a.number < b.number;
    });
    return out;
}

QList<Item> ahead(const Memory::State &state, const QDate &today, int subject)
{
    QList<Item> out = answered(state, today, subject, false);
    std::sort(out.begin(), out.end(), [](const Item &a, const Item &b) {
        return a.due != b.due ? a.due < b.due : a.number < b.number;
    });
    return out;
}

QList<Item> fresh(const Memory::State &state, const std::array<QList<int>, Subjects::kCount> &pools,
                  const QDate &today, int subject)
{
    // The bank's sources: a hundred numbers each (an exam block's range, a study file).
    std::map<int, QList<Item>> sources;
    for (int s = 0; s < Subjects::kCount; ++s) {
        if (!inSubject(s, subject))
            continue;
        for (int number : pools[static_cast<std::size_t>(s)])
            if (!state.questions.contains(number))
                sources[number / 100].append({number, s, 0.0, 0, true});
    }
    // Each source shuffled the same way all day, then one from each in turn.
    QRandomGenerator rng(static_cast<quint32>(today.toJulianDay()));
    QList<QList<Item>> lists;
    for (auto &[key, list] : sources) {
        for (qsizetype i = list.size() - 1; i > 0; --i)
            list.swapItemsAt(i, static_cast<qsizetype>(rng.bounded(static_cast<quint32>(i + 1))));
        lists.append(list);
    }
    // The sources in a drawn order too, so that the first round does not always start in one.
    for (qsizetype i = lists.size() - 1; i > 0; --i)
        lists.swapItemsAt(i, static_cast<qsizetype>(rng.bounded(static_cast<quint32>(i + 1))));
    QList<Item> out;
    for (qsizetype k = 0;; ++k) {
        bool any = false;
        for (const QList<Item> &list : std::as_const(lists))
            if (k < list.size()) {
                out.append(list[k]);
                any = true;
            }
        if (!any)
            break;
    }
    return out;
}

int reviewsLeft(const Memory::State &state, const QDate &today, const Limits &l, qsizetype backlog,
                const std::optional<QDate> &exam)
{
    const int done = state.studyDays.value(Memory::dayOf(today), {0, 0})[0];
    qsizetype limit = l.reviews;
    if (exam && *exam > today) {
        // What is due now spread over the days before the exam, today included.
        const qsizetype days = today.daysTo(*exam);
        limit = std::max<qsizetype>(limit, (backlog + done + days - 1) / days);
    }
    return static_cast<int>(std::max<qsizetype>(0, limit - done));
}

int freshLeft(const Memory::State &state, const QDate &today, const Limits &l)
{
    const int done = state.studyDays.value(Memory::dayOf(today), {0, 0})[1];
    return std::max(0, l.fresh - done);
}

Coverage coverage(const Memory::State &state, const std::array<QList<int>, Subjects::kCount> &pools,
                  int subject)
{
    Coverage c;
    for (int s = 0; s < Subjects::kCount; ++s) {
        if (!inSubject(s, subject))
            continue;
        for (int number : pools[static_cast<std::size_t>(s)]) {
            ++c.total;
            c.seen += state.questions.contains(number) ? 1 : 0;
        }
    }
    return c;
}
} // namespace Reviews
