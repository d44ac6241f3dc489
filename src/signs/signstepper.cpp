// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "signstepper.h"

namespace {
SignView marking(int position)
{
    return {SignCatalog::FiguraFaixa(position), QString(), SignCatalog::NomeFaixa(position)};
}

SignView plate(int position)
{
    return {SignCatalog::FiguraPlacaCarro(position), QString(), SignCatalog::NomePlacaCarro(position)};
}
} // namespace

int &TSignStepper::indice(SignGroup group)
{
    return group == SignGroup::A ? m_adv : group == SignGroup::R ? m_reg : m_ind;
}

int TSignStepper::Indice(SignGroup group) const
{
    return group == SignGroup::A ? m_adv : group == SignGroup::R ? m_reg : m_ind;
}

std::optional<SignView> TSignStepper::Next(SignGroup group)
{
    int &position = indice(group);
    if (position >= SignCatalog::lastPosition(group))
        return std::nullopt;
    ++position;
    return SignCatalog::sign(group, position);
}

std::optional<SignView> TSignStepper::Previous(SignGroup group)
{
    int &position = indice(group);
    if (position <= SignCatalog::firstPosition(group))
        return std::nullopt;
    --position;
    return SignCatalog::sign(group, position);
}

void TSignStepper::Restart()
{
    m_adv = SignCatalog::beforeFirst(SignGroup::A);
    m_reg = SignCatalog::beforeFirst(SignGroup::R);
    m_ind = SignCatalog::beforeFirst(SignGroup::I);
}

std::optional<SignView> TSignStepper::Localizar(const QString &text)
{
    const std::optional<SignPlace> found = LocalizarPlaca(text);
    if (!found)
        return std::nullopt;
    indice(found->group) = found->position;
    return SignCatalog::sign(found->group, found->position);
}

std::optional<SignView> TSignStepper::NextFaixa()
{
    if (m_faixa >= SignCatalog::markingCount)
        return std::nullopt;
    return marking(++m_faixa);
}

std::optional<SignView> TSignStepper::PreviousFaixa()
{
    if (m_faixa <= 1)
        return std::nullopt;
    return marking(--m_faixa);
}

std::optional<SignView> TSignStepper::NextPlacaCarro()
{
    if (m_placaCarro >= SignCatalog::plateCount)
        return std::nullopt;
    return plate(++m_placaCarro);
}

std::optional<SignView> TSignStepper::PreviousPlacaCarro()
{
    if (m_placaCarro <= 1)
        return std::nullopt;
    return plate(--m_placaCarro);
}
