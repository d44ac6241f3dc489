// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Message boxes built on QMessageBox with Portuguese buttons: the program's real boxes.

#include "common/dialogs.h"

class MessageBoxDialogs : public Dialogs {
public:
    void message(Icon icon, const QString &title, const QString &text) override;
    bool askYesNo(Icon icon, const QString &title, const QString &text) override;
};
