// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Printing through the print module (src/print, on Qt Print Support), loaded the first time
// something is printed: the system's print dialog, then the caller draws onto the printer.

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace Printing {
// What draws the pages onto a printer (or any paged device): newPage() between pages.
using Draw = std::function<void(QPagedPaintDevice &)>;
// Offers the print dialog over parent for an A4 document named name, at the printer's highest
// resolution; draw then draws it. False when the user cancelled or the module is missing (then
// with why as a sentence for the user).
bool print(QWidget *parent, const QString &name, const QString &dialogTitle, const Draw &draw, QString *why);
} // namespace Printing

// The print module's entry point: as Printing::print, once loaded.
extern "C" bool quelvado_print(QWidget *parent, const QString &name, const QString &dialogTitle,
                               const Printing::Draw &draw);
