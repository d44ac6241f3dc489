// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "examsession.h"

#include "examrules.h"
#include "personalpool.h"
#include "questionbank.h"

#include <algorithm>

ExamSession::ExamSession() : m_poolNumber(m_pool.AddField(QStringLiteral("Numero"), ftString, 5))
{
    m_pool.SetName(QStringLiteral("BDS"));
    m_state.ListBox1 = ExamTypes::defaultPool();
}

void ExamSession::drawPersonalised(const QString &path, const QSet<int> &known)
{
    // A pool file that is missing, damaged or holds a number the bank does not have is made anew
    // from the whole default pool, never from the last exam's 30 numbers.
    m_state.ListBox1.clear();
    m_state.ListBox1 = PersonalPool::draw(m_pool, m_poolNumber, path, ExamTypes::defaultPool(), known,
                                          ExamTypes::kQuestions);
}

void ExamSession::start(int type, const QDateTime &at)
{
    m_state.TipoProva = type;
    m_start = at;
    m_end = QDateTime();
    m_startTime = QTime::fromString(ExamRules::timeText(at.time()), QStringLiteral("HH:mm:ss"));
    m_endTime = QTime();
    m_sheet.clear();
    m_consulted.fill(false);
    m_filled.fill(false);
    m_lastSeen = 0;
    m_counts = {};
    m_corrected.clear();
    moveTo(1);
}

void ExamSession::moveTo(int position)
{
    m_state.Posicao = position;
    ProcurarProva(m_state);
    if (position <= ExamTypes::kQuestions)
        m_lastSeen = std::max(m_lastSeen, position);
}

QString ExamSession::answer(int position) const
{
    return m_sheet.cell(position - 1, AnswerSheet::Given);
}

void ExamSession::setAnswer(int position, const QString &letter)
{
    m_sheet.setCell(position - 1, AnswerSheet::Given, letter);
}

QString ExamSession::rightLetter(const QuestionBank &bank) const
{
    return ExamRules::letterFor(bank.answerNumber(m_state.NumeroQuestao));
}

void ExamSession::consultLight(bool filledIn)
{
    const int column = m_state.Posicao - 1;
    if (column < 0 || column >= ExamTypes::kQuestions)
        return;
    m_consulted[static_cast<size_t>(column)] = true;
    if (filledIn)
        m_filled[static_cast<size_t>(column)] = true;
}

bool ExamSession::lightConsulted(int position) const
{
    return position >= 1 && position <= ExamTypes::kQuestions &&
           m_consulted[static_cast<size_t>(position - 1)];
}

bool ExamSession::filledByLight(int position) const
{
    return position >= 1 && position <= ExamTypes::kQuestions && m_filled[static_cast<size_t>(position - 1)];
}

void ExamSession::finish(const QDateTime &at)
{
    for (int column = 0; column < ExamTypes::kQuestions; ++column)
        m_sheet.setCell(column, AnswerSheet::Position, QString::number(column + 1));
    m_end = at;
    m_endTime = QTime::fromString(ExamRules::timeText(at.time()), QStringLiteral("HH:mm:ss"));
}

QTime ExamSession::timeTaken() const
{
    return ExamRules::timeTaken(m_startTime, m_endTime);
}

void ExamSession::correct(const QuestionBank &bank)
{
    // The questions are looked up position by position, which leaves the exam at position 30.
    QList<int> numbers;
    for (int position = 1; position <= ExamTypes::kQuestions; ++position) {
        m_state.Posicao = position;
        ProcurarProva(m_state);
        numbers << m_state.NumeroQuestao;
    }
    m_sheet.correct(numbers, bank);
    m_counts = m_sheet.counts();
    // The review reads this exam as corrected, whatever the next exam or the pool file become.
    m_corrected = m_sheet.corrected(numbers);
    for (int column = 0; column < m_corrected.size(); ++column) {
        m_corrected[column].lightConsulted = m_consulted[static_cast<size_t>(column)];
        m_corrected[column].filledByLight = m_filled[static_cast<size_t>(column)];
        m_corrected[column].seen = seen(column + 1);
    }
}

CorrectedExam ExamSession::record() const
{
    return CorrectedExam{m_state.TipoProva, m_start, m_end, QTime(0, 0).secsTo(timeTaken()), m_corrected};
}
