// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The personalised exam's pool file numprova.dat, written and read the way the exam does, for the
// exam tests.

#include <QStringList>

// Writes a numprova.dat at path holding texts, the way the exam writes it; reads one back.
void writePool(const QString &path, const QStringList &texts);
QStringList readPool(const QString &path);
// The numbers first, first + 1, ... as texts, count of them.
QStringList poolFrom(int first, int count = 30);
