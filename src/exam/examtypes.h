#pragma once
// The eighteen exam types: the captions of the selection page, the type number each item starts,
// the fixed lists of 30 question numbers of types 1 to 17, and the personalised exam's default
// pool. Pure data, no widgets.

#include <QString>
#include <QStringList>

#include <array>

namespace ExamTypes {
constexpr int kItems = 18;
constexpr int kQuestions = 30;
constexpr int kPersonalised = 18;

// The caption of radio item 0..17 as shown (with its "&" accelerator).
QString caption(int item);
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
