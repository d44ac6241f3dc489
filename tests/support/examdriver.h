// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Taking an exam in the exam window as a candidate does, for the exam tests; with the pool file the
// personalised exam draws from (poolfile.h).

#include "poolfile.h"

#include <QString>

class TFormProva;

constexpr int kLegislacao = 6;     // radio item of " &7 - Legislação": questions 1 to 30
constexpr int kPersonalizada = 17; // radio item of " 18 - PROVA PERSONALIZADA"

// The letter of the right answer to a question of the bank, and a wrong one.
QString rightLetter(int question);
QString wrongLetter(int question);

// Checks the radio item `item` and clicks "Iniciar".
void start(TFormProva &w, int item);
// Types keys into the answer box.
void type(TFormProva &w, const QString &keys);
// Types letter (unless empty) and clicks "Próxima".
void answerAndNext(TFormProva &w, const QString &letter);
