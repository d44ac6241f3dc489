// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "examdriver.h"

#include "exam/formprova.h"
#include "exam/questionbank.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

QString rightLetter(int question)
{
    return QString(QChar(u'A' + QuestionBank::instance().answerNumber(question) - 1));
}

QString wrongLetter(int question)
{
    return rightLetter(question) == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
}

void start(TFormProva &w, int item)
{
    w.RadioItems[item]->setChecked(true);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
}

void type(TFormProva &w, const QString &keys)
{
    w.EditResposta->setFocus();
    QTest::keyClicks(w.EditResposta, keys);
}

void answerAndNext(TFormProva &w, const QString &letter)
{
    if (!letter.isEmpty())
        type(w, letter);
    QTest::mouseClick(w.BBProximo, Qt::LeftButton);
}
