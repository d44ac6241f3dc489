// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The positions a sign window steps through and the rules that move them. Each sign window owns
// one instance: the sign query window uses the three sign groups, the signage reference window
// also the road markings and the plate kinds. No widgets: a step returns what to show (picture
// name, code, name) and the window shows it.

#include "signs/signcatalog.h"

#include <optional>

class TSignStepper {
public:
    // Current positions. Start values: A -1, R -1, I 2 (before each group's first sign); road
    // marking 0 and plate kind 0 (none shown yet).
    int IndiceAdv() const { return m_adv; }
    int IndiceReg() const { return m_reg; }
    int IndiceInd() const { return m_ind; }
    int IndiceFaixa() const { return m_faixa; }
    int IndicePlacaCarro() const { return m_placaCarro; }
    // The position of the given sign group.
    int Indice(SignGroup group) const;

    // Next in the group: when its position is below the group's last, moves one on and returns
    // the sign there; at the last sign nothing moves and nothing is returned (no wrap-around).
    std::optional<SignView> Next(SignGroup group);
    // Previous in the group: when its position is above the group's first sign, moves one back and
    // returns the sign there; at the first sign, or before it, nothing moves or is returned.
    std::optional<SignView> Previous(SignGroup group);
    // Puts all three sign groups before their first sign (A -1, R -1, I 2), whichever is selected.
    void Restart();
    // Searches `text` with `LocalizarPlaca`. Found: that sign's own group moves to it (the other
    // groups keep their positions) and the sign is returned. Not found: nothing moves and nothing
    // is returned.
    std::optional<SignView> Localizar(const QString &text);

    // Next road marking (up to 7) / previous road marking (down to 1): the marking's picture name
    // and description, or nothing at the end (and for Previous from 0).
    std::optional<SignView> NextFaixa();
    std::optional<SignView> PreviousFaixa();

    // Next plate kind (up to 6) / previous plate kind (down to 1): the plate's picture name and
    // label, or nothing at the end (and for Previous from 0).
    std::optional<SignView> NextPlacaCarro();
    std::optional<SignView> PreviousPlacaCarro();
    // Plate kind back to 0: the next step forward shows " Particular" again.
    void RestartPlacaCarro() { m_placaCarro = 0; }

private:
    int &indice(SignGroup group);

    int m_adv = -1;
    int m_reg = -1;
    int m_ind = 2;
    int m_faixa = 0;
    int m_placaCarro = 0;
};
