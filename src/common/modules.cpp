// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modules.h"

#include "common/platform.h"

#include <QCoreApplication>

#ifndef QUELVADO_MODULES_FROM_BIN
#define QUELVADO_MODULES_FROM_BIN "../lib/quelvado/modules"
#endif

void *Modules::entry(const char *module, const char *symbol)
{
    const QString bin = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    for (const QString &folder : {QString(bin + QStringLiteral(QUELVADO_MODULES_FROM_BIN "/")), bin}) {
        // A module stays loaded: loading it again only hands back the same one.
        if (void *loaded = Platform::loadModule(folder.toStdU16String(), module))
            return Platform::librarySymbol(loaded, symbol);
    }
    return nullptr;
}

QString Modules::missing(const QString &what)
{
    return QStringLiteral("Não foi possível %1: falta uma parte do Quelvado (reinstale o programa).")
        .arg(what);
}
