// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exam types: the captions of the selection page, the type number each item starts, the fixed
// lists of 30 question numbers of types 1 to 17, the personalised exam's default pool, and the
// number and sizes of the exam in today's format. Every exam type number and every size of an
// exam is written here. Pure data, no widgets.

#include <QString>
#include <QStringList>

#include <array>

namespace ExamTypes {
constexpr int kItems = 18;       // the radio items of the selection page
constexpr int kQuestions = 30;   // positions of an exam
constexpr int kAlternatives = 5; // A to E
constexpr int kFixedTypes = 17;  // types 1..17 ask a fixed list
constexpr int kPersonalised = 18;
// The exam in today's format (Res. CONTRAN 1.020/2025), as the study history numbers it: thirty
// questions of four alternatives, passed at twenty right answers.
constexpr int kTodayFormat = 19;
constexpr int kTodayQuestions = 30;
constexpr int kTodayAlternatives = 4;
constexpr int kTodayPassMark = 20;

// True for the number of one of the eighteen types or of today's format.
constexpr bool isExamType(int type)
{
    return (type >= 1 && type <= kPersonalised) || type == kTodayFormat;
}

// The caption of radio item 0..17 as shown (with its "&" accelerator).
QString caption(int item);
// An exam type as the selection page names it, without the accelerator: "7 - Legislação" for type
// 6, "18 - PROVA PERSONALIZADA", and "Prova no formato atual" for today's format; empty for a
// number that is no exam type.
QString name(int type);
// The exam type number started by radio item 0..17 (item 5 starts type 17); 0 for another item.
int typeForItem(int item);
// The 30 question numbers of a fixed type 1..17, in position order; nullptr for another type.
const std::array<int, kQuestions> *fixedList(int type);
// The 330 texts of the default pool: the first 30 question numbers of each of the eleven blocks,
// with three digits ("001" ... "530"), block by block.
QStringList defaultPool();
} // namespace ExamTypes

// The exam in progress, held by the exam window for the whole run.
struct TExamState {
    int TipoProva = 0;     // exam type number 1..18
    int Posicao = 0;       // question position 1..30, 31 past the end
    int NumeroQuestao = 0; // current question number, 0 until the first exam
    QStringList ListBox1;  // the hidden list: default pool, then the personalised exam's numbers
};

// Sets state.NumeroQuestao from the exam type and the position. Positions outside 1..30 leave it
// unchanged. For the personalised exam the text at list index position - 1 is converted to an
// integer; a missing or non-numeric text throws EConvertError.
void ProcurarProva(TExamState &state);
