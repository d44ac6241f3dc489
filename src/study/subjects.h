// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seven subjects of the exam, as the exam types name them, and the subject of each question:
// a block question takes its block's subject (block 2, "Legislação e Infrações", counts as
// Legislação), a study question the subject named in its file's header.

#include <QString>

namespace Subjects {
enum Subject {
    Legislacao = 0,
    Circulacao,
    Sinalizacao,
    DirecaoDefensiva,
    PrimeirosSocorros,
    MecanicaBasica,
    MeioAmbiente,
};
constexpr int kCount = 7;

// "Legislação", "Regras de Circulação", … for subject 0..6; empty for another number.
QString name(int subject);
// The subject whose name() is text, -1 for none.
int fromName(const QString &text);
// The subject of question number in the bank carried in the program; -1 for a number it does not
// hold.
int of(int number);
} // namespace Subjects
