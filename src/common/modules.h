// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own modules: parts built as libraries of their own (src/sound, src/charts) so that
// the Qt modules they need, and the system libraries those bring, are loaded the first time the
// part is used instead of at every start-up. An installed copy keeps them in its library folder
// (<prefix>/lib/.../quelvado/modules); a build or a copy unpacked anywhere, beside the program.

#include <QString>

namespace Modules {
// The entry point named symbol of the module ("quelvado_sound"), loading the module the first time;
// null when the module or the symbol cannot be found. Looked for in the program's own folders only.
void *entry(const char *module, const char *symbol);
// The same, as the function type F the entry point has.
template <typename F> F function(const char *module, const char *symbol)
{
    return reinterpret_cast<F>(entry(module, symbol));
}
// Why a module is missing, as a sentence for the user: what cannot be done.
QString missing(const QString &what);
} // namespace Modules
