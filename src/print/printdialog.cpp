// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
// The print module: the system's print dialog and printer, from Qt Print Support.
#include "common/printing.h"

#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

extern "C" Q_DECL_EXPORT bool quelvado_print(QWidget *parent, const QString &name, const QString &dialogTitle,
                                             const Printing::Draw &draw)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(name);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(dialogTitle);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    draw(printer);
    return true;
}
