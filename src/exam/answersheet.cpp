// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/answersheet.h"

#include "exam/examrules.h"
#include "exam/questionbank.h"

QString AnswerSheet::cell(int column, int row) const
{
    if (column < 0 || column >= ExamTypes::kQuestions || row < 0 || row >= kRows)
        return {};
    return m_cells[static_cast<size_t>(column)][static_cast<size_t>(row)];
}

void AnswerSheet::setCell(int column, int row, const QString &text)
{
    if (column < 0 || column >= ExamTypes::kQuestions || row < 0 || row >= kRows)
        return;
    m_cells[static_cast<size_t>(column)][static_cast<size_t>(row)] = text;
}

void AnswerSheet::clear()
{
    for (auto &column : m_cells)
        for (QString &text : column)
            text.clear();
}

void AnswerSheet::correct(const QList<int> &numbers, const QuestionBank &bank)
{
    QStringList letters;
    for (int column = 0; column < ExamTypes::kQuestions; ++column)
        letters << ExamRules::letterFor(bank.answerNumber(numbers.value(column)));
    for (int column = 0; column < ExamTypes::kQuestions; ++column) {
        setCell(column, Right, letters[column]);
        setCell(column, Mark,
                cell(column, Given) == letters[column] ? QStringLiteral("*") : QStringLiteral("X"));
    }
}

AnswerSheet::Counts AnswerSheet::counts() const
{
    Counts c;
    for (int column = 0; column < ExamTypes::kQuestions; ++column) {
        const QString mark = cell(column, Mark);
        if (mark == QLatin1String("*"))
            ++c.right;
        else if (mark == QLatin1String("X"))
            ++c.wrong;
        else if (mark == QLatin1String("-"))
            ++c.invalid;
    }
    return c;
}

QList<QuestaoCorrigida> AnswerSheet::corrected(const QList<int> &numbers) const
{
    QList<QuestaoCorrigida> exam;
    for (int column = 0; column < ExamTypes::kQuestions; ++column)
        exam.append(QuestaoCorrigida{numbers.value(column), cell(column, Given), cell(column, Right),
                                     cell(column, Mark)});
    return exam;
}
