#pragma once
// Taking an exam in the exam window as a candidate does, and the pool file the personalised exam
// draws from, for the exam tests.

#include <QString>
#include <QStringList>

class TFormProva;

constexpr int kLegislacao = 6;     // radio item of " &7 - Legislação": questions 1 to 30
constexpr int kPersonalizada = 17; // radio item of " 18 - PROVA PERSONALIZADA"

// The letter of the right answer to a question of the bank, and a wrong one.
QString rightLetter(int question);
QString wrongLetter(int question);

// Checks the radio item `item` and clicks "Iniciar".
void start(TFormProva &w, int item);
// Types keys into the answer box.
void type(TFormProva &w, const QString &keys);
// Types letter (unless empty) and clicks "Próxima".
void answerAndNext(TFormProva &w, const QString &letter);

// Writes a numprova.dat at path holding texts, the way the exam writes it; reads one back.
void writePool(const QString &path, const QStringList &texts);
QStringList readPool(const QString &path);
// The numbers first, first + 1, ... as texts, count of them.
QStringList poolFrom(int first, int count = 30);
