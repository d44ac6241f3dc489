// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The answer sheet of one exam without its window: for each of the thirty positions the position
// number, the right letter, the answer given and the mark, as the sheet's four rows show them; the
// correction that fills the right letters and marks, and the counts the verdict is read from. The
// exam window's grid shows this sheet.

#include "exam/examtypes.h"

#include <QList>
#include <QString>

#include <array>

class QuestionBank;

// One position of a corrected exam.
struct QuestaoCorrigida {
    int numero = 0;   // the question's number in the bank
    QString resposta; // the answer given, empty when none
    QString certa;    // the right letter "A".."E" (as shown)
    QString marca;    // "*" right, "X" wrong, "-" the check failed
    // The bank's alternatives (1 = A .. 5 = E of the bank) shown as A, B, C…, when the exam showed
    // some of them in an order of its own (today's format: four); resposta and certa are then
    // letters as shown. Empty when the question's alternatives were shown as the bank has them.
    QList<int> alternativas = {};
    // The traffic light was consulted at this position before the exam ended, and whether it wrote
    // the right letter into an empty box: the answer was then shown, not known.
    bool lightConsulted = false;
    bool filledByLight = false;
    // The position was shown during the exam (an exam may end before its last positions).
    bool seen = true;
    bool acertou() const { return marca == QLatin1String("*"); }
};

class AnswerSheet {
public:
    // The rows of each column.
    enum Row { Position = 0, Right = 1, Given = 2, Mark = 3 };
    static constexpr int kRows = 4;

    // The text at a column (0..29) and row (0..3); empty outside the sheet.
    QString cell(int column, int row) const;
    // Sets the text at a column and row; nothing outside the sheet.
    void setCell(int column, int row, const QString &text);
    // Empties every cell.
    void clear();

    // Corrects the sheet for the questions at positions 1..30 (numbers[0] at position 1): the
    // right letter of each in row Right, "*" where the given answer equals it and "X" elsewhere in
    // row Mark. Throws EConvertError, before changing anything, for a question whose right answer
    // is not one of the five letters.
    void correct(const QList<int> &numbers, const QuestionBank &bank);

    struct Counts {
        int right = 0;
        int wrong = 0;
        int invalid = 0;
    };
    // The marks counted: "*" right, "X" wrong, "-" invalid.
    Counts counts() const;
    // The corrected exam, position 1 at index 0, for the questions numbers.
    QList<QuestaoCorrigida> corrected(const QList<int> &numbers) const;

private:
    std::array<std::array<QString, kRows>, ExamTypes::kQuestions> m_cells;
};
