// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recording fakes for the seams of the common core, and a program folder of the test's own. Each
// installs itself when made and restores the real implementation when destroyed, so a test case
// just declares one on the stack. The desktop's fake is in windowfakes.h.

#include "common/clock.h"
#include "common/dialogs.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// Records every box; answers Yes/No questions from a script (default answer when it runs out).
class FakeDialogs : public Dialogs {
public:
    struct Box {
        Icon icon;
        QString title;
        QString text;
        bool question;
    };

    FakeDialogs();
    ~FakeDialogs() override;

    void message(Icon icon, const QString &title, const QString &text) override;
    bool askYesNo(Icon icon, const QString &title, const QString &text) override;

    // Queues answers for the next questions (true = "Sim").
    void answer(std::initializer_list<bool> answers) { m_answers.append(QList<bool>(answers)); }
    void setDefaultAnswer(bool yes) { m_default = yes; }

    QList<Box> boxes;
    // Just the texts, in order.
    QStringList texts() const;
    void clear() { boxes.clear(); }

private:
    QList<bool> m_answers;
    bool m_default = false;
};

// A clock standing at a fixed local date-time and UTC time of day, moved by the test.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime local = QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)),
                       QTime utc = QTime(12, 30, 0));
    ~FakeClock() override;
    QDateTime localNow() const override { return local; }
    QTime utcTimeOfDay() const override { return utc; }
    // The steady clock moves with local, but for the jumps of the time of day a test notes.
    qint64 steadyMs() const override { return local.toMSecsSinceEpoch() - jumpedMs; }
    QDateTime local;
    QTime utc;
    qint64 jumpedMs = 0; // how far the time of day was set forward (back when negative)
};

// Points the program folder at a fresh temporary folder for the test's lifetime.
class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    QString path() const; // with trailing "/"
    QString file(const QString &name) const { return path() + name; }

private:
    QTemporaryDir m_dir;
};
