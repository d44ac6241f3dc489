// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the candidate studies today, worked out from the memory the answers leave (memory.h):
// - the reviews: the questions whose due day has come, the lowest recall first, at most a daily
//   number of them (the rest wait for the next days);
// - the new questions: those never answered, a daily number of them, in an order that mixes the
//   bank's sources (the exam blocks and the study files) so that one file's questions do not come
//   one after another.
// With an exam date set, the daily number of reviews rises as far as needed to clear what is due
// before that day, so that the reviews aim at remembering on the exam's day.
//
// The daily numbers and the exam date are settings of the program (the settings file's "Estudo"
// section).

#include "study/memory.h"

#include <QDate>
#include <QList>

#include <array>
#include <optional>

namespace Reviews {
constexpr int kDefaultReviews = 60;
constexpr int kDefaultNew = 20;
constexpr int kMaxPerDay = 999;

struct Limits {
    int reviews = kDefaultReviews; // reviews a day
    int fresh = kDefaultNew;       // new questions a day
};
Limits limits();
bool setLimits(const Limits &limits);
// The exam date the candidate set; none when unset, unreadable or already past at today.
std::optional<QDate> examDate(const QDate &today);
// Sets the exam date (none: clears it). False when the settings file could not be written.
bool setExamDate(const std::optional<QDate> &date);

// One question to study.
struct Item {
    int number = 0;
    int subject = -1;
    double recall = 0.0; // the model's recall today; 0 for a new question
    Fsrs::Day due = 0;   // the day it is due; meaningless for a new one
    bool fresh = false;  // never answered
    bool operator==(const Item &) const = default;
};

// The questions of subject (-1: all) due on or before today, the lowest recall first (then the
// earlier due day, then the lower number).
QList<Item> due(const Memory::State &state, const QDate &today, int subject = -1);
// Those not yet due, the soonest first: what studying ahead offers.
QList<Item> ahead(const Memory::State &state, const QDate &today, int subject = -1);
// The questions of pools (index Subjects::Subject) never answered, of subject (-1: all), in an
// order that mixes the bank's sources, the same all day long.
QList<Item> fresh(const Memory::State &state, const std::array<QList<int>, Subjects::kCount> &pools,
                  const QDate &today, int subject = -1);

// How many reviews and new questions may still be studied today, given what was studied today
// already and, for the reviews, the backlog due today (all subjects) and the exam date.
int reviewsLeft(const Memory::State &state, const QDate &today, const Limits &limits, qsizetype backlog,
                const std::optional<QDate> &exam);
int freshLeft(const Memory::State &state, const QDate &today, const Limits &limits);

// Questions of pools answered at least once, of subject (-1: all), and how many there are.
struct Coverage {
    int seen = 0;
    int total = 0;
};
Coverage coverage(const Memory::State &state, const std::array<QList<int>, Subjects::kCount> &pools,
                  int subject = -1);
} // namespace Reviews
