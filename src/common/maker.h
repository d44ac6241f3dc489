// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The maker's addresses, shown in the main window, the version box and the download window.

#include <QString>

namespace Maker {
inline const QString brand = QStringLiteral("Vitrine Dolmar");
inline const QString site = QStringLiteral("www.vitrinedolmar.com.br");
inline const QString productSite = QStringLiteral("www.quelvado.com.br");
inline const QString agendaSite = QStringLiteral("www.agendacaseira.com.br");
inline const QString mail = QStringLiteral("contato@vitrinedolmar.com.br");
// A short notice of the maker's, shown after the main window's caption.
inline const QString notice = QStringLiteral("Vitrine Dolmar - Software Educativo");
} // namespace Maker
