// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing.h"

#include "common/modules.h"

bool Printing::print(QWidget *parent, const QString &name, const QString &dialogTitle, const Draw &draw,
                     QString *why)
{
    static const auto entry =
        Modules::function<decltype(&quelvado_print)>("quelvado_print", "quelvado_print");
    if (!entry) {
        if (why)
            *why = Modules::missing(QStringLiteral("imprimir"));
        return false;
    }
    return entry(parent, name, dialogTitle, draw);
}
