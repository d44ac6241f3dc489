#include "examdriver.h"

#include "exam/formprova.h"
#include "exam/questionbank.h"
#include "store/binarydataset.h"

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

void writePool(const QString &path, const QStringList &texts)
{
    TBinaryDataSet ds;
    TField &numero = ds.AddField(QStringLiteral("Numero"), ftString, 5);
    ds.SetTableName(path);
    ds.CreateTable();
    ds.Open();
    for (const QString &t : texts) {
        ds.Append();
        numero.SetAsString(t);
        ds.Post();
    }
    ds.Close();
}

QStringList readPool(const QString &path)
{
    TBinaryDataSet ds;
    TField &numero = ds.AddField(QStringLiteral("Numero"), ftString, 5);
    ds.SetTableName(path);
    ds.Open();
    QStringList out;
    for (ds.First(); !ds.Eof(); ds.Next())
        out << numero.AsString();
    ds.Close();
    return out;
}

QStringList poolFrom(int first, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QString::number(first + i);
    return out;
}
