// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "poolfile.h"

#include "store/binarydataset.h"

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
