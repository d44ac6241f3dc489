// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's version, carried inside the program file as "major.minor.release.build".

#include <QString>

namespace VersionInfo {
// The four numbers as stored ("2.2.4.0"), or empty when the program carries none.
QString raw();
// Trims the stored text for display: trailing zero numbers are dropped down to "major.minor".
// "2.2.4.0" gives "2.2.4", "2.0.0.0" gives "2.0", "2.10.0.0" gives "2.10", "" gives "".
QString trimmed(const QString &version);
// The version box text for a stored version, lines separated by "\n": the version, the maker's
// addresses and brand, and the licences; empty when version is.
QString boxText(const QString &version);
} // namespace VersionInfo
