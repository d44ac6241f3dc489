// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The personalised exam's pool file (numprova.dat): one record per question number, shuffled
// afresh for every personalised exam. The file is only ever replaced whole: every change is made
// on a copy beside it, flushed to disk and renamed over it, so a crash or power loss at any moment
// leaves either the old pool or the new one, complete. A pool file the exam cannot use (one the
// user may have edited: a number twice, one the bank lacks) is kept beside it under a name of its
// own, "numprova.dat.danificado-<date>", before a new one replaces it.

#include <QSet>
#include <QString>
#include <QStringList>

class TBinaryDataSet;
class TField;

namespace PersonalPool {
// Larger than any pool of the bank's questions can be (some 330 records of 10 bytes); a bigger
// file is not read.
constexpr qint64 kMaxFileSize = 64 * 1024;

// True when the file at path is a regular file within kMaxFileSize that the store opens and that
// holds each of its numbers once, every one of them in known. Never throws.
bool isSound(TBinaryDataSet &bds, TField &numero, const QString &path, const QSet<int> &known);

// Draws the numbers of a personalised exam: the file at path (made from pool when missing or not
// sound, an unsound one set aside first) is shuffled and the first count numbers taken (the last
// repeated when it holds fewer). Every draw starts from the field numero declares, whatever file
// bds read before. A file of the store whose fields are not numero's fails with the store's error
// ("Campo 'Numero' não encontrado") and is left as it is. bds is closed on return. Throws the
// store's errors when the file cannot be made, set aside or replaced.
QStringList draw(TBinaryDataSet &bds, TField &numero, const QString &path, const QStringList &pool,
                 const QSet<int> &known, int count);
} // namespace PersonalPool
