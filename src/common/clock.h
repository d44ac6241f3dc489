// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program reads the time. main() uses the system clock; tests install a fixed one.

#include <QDateTime>
#include <QTime>

class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time of day.
    virtual QDateTime localNow() const = 0;
    // UTC time of day (the starting state of the pseudo-random generator).
    virtual QTime utcTimeOfDay() const = 0;
    // Milliseconds on a clock that only moves forward at the pace of real time, whatever is done
    // to the time of day (a jump forward or back, a change of time zone): what durations are
    // measured with. Its zero means nothing. By default the system's steady clock.
    virtual qint64 steadyMs() const;

    static const Clock &current();
    // Installs c (not owned); nullptr restores the system clock.
    static void install(const Clock *c);
};

class SystemClock : public Clock {
public:
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
    QTime utcTimeOfDay() const override { return QDateTime::currentDateTimeUtc().time(); }
};
