// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "examrules.h"

#include "common/errors.h"

bool ExamRules::refusesKey(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'f' && u <= u'z');
}

QString ExamRules::letterFor(int answerNumber)
{
    if (answerNumber < 1 || answerNumber > 5)
        throw EConvertError(QStringLiteral("'%1' is not a valid answer number").arg(answerNumber));
    return QString(QChar(u'A' + answerNumber - 1));
}

QString ExamRules::timeText(const QTime &t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

QTime ExamRules::timeTaken(const QTime &start, const QTime &end)
{
    // Both times as shown, back to times: the milliseconds play no part.
    const QString startText = timeText(start);
    const QString endText = timeText(end);
    const int s = QTime::fromString(startText, QStringLiteral("HH:mm:ss")).msecsSinceStartOfDay() / 1000;
    const int e = QTime::fromString(endText, QStringLiteral("HH:mm:ss")).msecsSinceStartOfDay() / 1000;
    const int lastSecond = 23 * 3600 + 59 * 60 + 59;
    const int taken = startText > endText ? lastSecond - s + e : e - s;
    return QTime(0, 0).addSecs(taken);
}

int ExamRules::percentage(int right)
{
    return right * 10 / 3;
}

ExamRules::Verdict ExamRules::verdictFor(int right)
{
    if (right <= 9)
        return {QStringLiteral("Este resultado não foi nada bom!!!"), QStringLiteral("BOMBA")};
    if (right <= 20)
        return {QStringLiteral("Tente fazer pelo menos 21 pontos (70% da prova)"), QStringLiteral("SMILE1")};
    if (right <= 23)
        return {QStringLiteral("Você pode melhorar este resultado!"), QStringLiteral("SMILE2")};
    if (right <= 26)
        return {QStringLiteral("Bom! 80% da prova está garantido!"), QStringLiteral("MAO")};
    if (right <= 29)
        return {QStringLiteral("Muito bom!"), QStringLiteral("SMILE")};
    return {QStringLiteral("Excelente! Você tirou nota máxima!"), QStringLiteral("ROSTO")};
}
