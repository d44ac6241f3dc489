// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sign catalogue: the warning (A), regulatory (R) and indication (I) sign tables, the seven
// flow-dividing road markings and the six kinds of vehicle plate, with the search by code and the
// rule that names a sign's picture. Fixed data built into the program; nothing here changes at
// run time and nothing needs a window.

#include <QString>

#include <optional>

// A sign group, numbered as the items of the windows' group selectors: 0 = A, 1 = R, 2 = I.
enum class SignGroup : int { A = 0, R = 1, I = 2 };

// What a window shows for one catalogue item: the picture name for `CarregarFigura`, the code and
// the name. For a road marking or a plate the code is empty and the name is its description or label.
struct SignView {
    QString picture;
    QString code;
    QString name;
    friend bool operator==(const SignView &, const SignView &) = default;
};

// A sign found by its code.
struct SignPlace {
    SignGroup group;
    int position;
    friend bool operator==(const SignPlace &, const SignPlace &) = default;
};

namespace SignCatalog {

// Number of road markings (positions 1 to 7) and of plate kinds (positions 1 to 6).
inline constexpr int markingCount = 7;
inline constexpr int plateCount = 6;

// The group's letter: 'A', 'R' or 'I'.
char letter(SignGroup group);
// The group's first and last positions holding a sign: A 0..61, R 0..40, I 3..23.
int firstPosition(SignGroup group);
int lastPosition(SignGroup group);
// The position from which Next shows the group's first sign: -1 for A and R, 2 for I.
int beforeFirst(SignGroup group);

// True when the position holds a sign of the group.
bool holdsSign(SignGroup group, int position);
// The sign's code and name; empty texts where the position holds no sign (I 0..2, out of range).
QString code(SignGroup group, int position);
QString name(SignGroup group, int position);
// Picture name, code and name of the sign; all empty where the position holds no sign.
SignView sign(SignGroup group, int position);

// The road marking's description (positions 1 to 7); empty text otherwise.
QString NomeFaixa(int position);
// The road marking's picture name, "FAIXA1" to "FAIXA7"; empty otherwise.
QString FiguraFaixa(int position);
// The plate kind's label, which begins with a blank (positions 1 to 6); empty text otherwise.
QString NomePlacaCarro(int position);
// The plate kind's picture name, "PLC1" to "PLC6"; empty otherwise.
QString FiguraPlacaCarro(int position);

} // namespace SignCatalog

// The group and position of the sign whose code is exactly `text` (whole text, case-sensitive,
// nothing trimmed); nothing when no code is equal (an empty text included).
std::optional<SignPlace> LocalizarPlaca(const QString &text);

// The picture name of a sign: the group letter and the position in decimal ("R12" for R-10 at
// position 12); empty where the position holds no sign.
QString FiguraPlaca(SignGroup group, int position);
