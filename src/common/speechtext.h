// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a voice should say for a text of the program: numbers, ordinals, article references of the
// traffic code ("art. 29, X" becomes "artigo vinte e nove, inciso dez"), paragraph signs, units
// ("km/h", "m", "kg"), percentages and abbreviations (CTB, CNH, CONTRAN) written out as a person
// reads them aloud in Brazilian Portuguese, so that no voice spells "§" or reads "X" as a letter.
//
// Every function takes any text and never throws; what it does not recognise passes unchanged.

#include <QString>
#include <QStringList>

namespace SpeechText {
// A whole number in words: 0 "zero", 21 "vinte e um", 2025 "dois mil e vinte e cinco", 3500 "três
// mil e quinhentos"; feminine gives "uma", "duas", "duzentas". Negative numbers are read with
// "menos".
QString number(qint64 n, bool feminine = false);
// An ordinal in words up to 999 ("primeiro", "vigésimo nono", feminine "primeira"); larger ones as
// number() reads them.
QString ordinal(int n, bool feminine = false);
// The name of a letter as it is spoken: "á", "bê", "cê", "erre", ...; the letter itself when it has
// no name (a non-Latin letter).
QString letterName(QChar letter);

// The text as it should be spoken.
QString spoken(const QString &text);

// A question's text as it may be read aloud while it is being answered: when it shows a picture,
// the sign code that names the picture ("a placa do código R-10", "a placa A-34") becomes "a placa
// mostrada", since the code would give the answer away. Not yet normalised (see spoken()).
QString withoutSignCode(const QString &question, bool hasPicture);

// What is read for a question: its text (see withoutSignCode()), then each alternative with its
// letter ("alternativa A: ..."), every part normalised by spoken(), one part per line.
QString questionReading(const QString &question, const QStringList &alternatives, bool hasPicture);
} // namespace SpeechText
