// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "subjects.h"

#include "exam/questionbank.h"

#include <array>

namespace {
const std::array<const char16_t *, Subjects::kCount> kNames = {u"Legislação",
                                                               u"Regras de Circulação",
                                                               u"Sinalização",
                                                               u"Direção Defensiva",
                                                               u"Primeiros Socorros",
                                                               u"Mecânica Básica",
                                                               u"Cidadania e Meio Ambiente"};

// The subject of each of the eleven blocks of fifty questions.
constexpr std::array<int, 11> kBlockSubject = {
    Subjects::Legislacao,       Subjects::Legislacao,        Subjects::Circulacao,
    Subjects::Circulacao,       Subjects::Sinalizacao,       Subjects::DirecaoDefensiva,
    Subjects::DirecaoDefensiva, Subjects::PrimeirosSocorros, Subjects::MecanicaBasica,
    Subjects::MeioAmbiente,     Subjects::Sinalizacao};
} // namespace

QString Subjects::name(int subject)
{
    if (subject < 0 || subject >= kCount)
        return {};
    return QString::fromUtf16(kNames[static_cast<std::size_t>(subject)]);
}

int Subjects::fromName(const QString &text)
{
    for (int s = 0; s < kCount; ++s)
        if (name(s) == text)
            return s;
    return -1;
}

int Subjects::of(int number)
{
    if (number >= kFirstQuestion && number <= kLastQuestion)
        return kBlockSubject[static_cast<std::size_t>((number - 1) / kBlockSize)];
    const StoredQuestion *q = QuestionBank::instance().studyQuestion(number);
    return q ? fromName(q->subject) : -1;
}
