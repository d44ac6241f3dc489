// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes.h"

#include "common/programfolder.h"

FakeDialogs::FakeDialogs()
{
    Dialogs::install(this);
}
FakeDialogs::~FakeDialogs()
{
    Dialogs::install(nullptr);
}

void FakeDialogs::message(Icon icon, const QString &title, const QString &text)
{
    boxes.append({icon, title, text, false});
}

bool FakeDialogs::askYesNo(Icon icon, const QString &title, const QString &text)
{
    boxes.append({icon, title, text, true});
    return m_answers.isEmpty() ? m_default : m_answers.takeFirst();
}

QStringList FakeDialogs::texts() const
{
    QStringList out;
    for (const Box &b : boxes)
        out << b.text;
    return out;
}

FakeClock::FakeClock(QDateTime l, QTime u) : local(std::move(l)), utc(u)
{
    Clock::install(this);
}
FakeClock::~FakeClock()
{
    Clock::install(nullptr);
}

TempProgramFolder::TempProgramFolder()
{
    ProgramFolder::set(m_dir.path());
}
TempProgramFolder::~TempProgramFolder()
{
    ProgramFolder::set(QString());
}
QString TempProgramFolder::path() const
{
    return ProgramFolder::path();
}
