// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the program shows message boxes. Start-up makes the window layer's boxes
// (messageboxdialogs.h) the default; tests install a recording fake (tests/support/fakes.h) so
// that no test ever waits on a modal box. Without a window layer, boxes go to standard output.

#include <QString>

class Dialogs {
public:
    enum class Icon { None, Information, Warning, Error, Question };

    virtual ~Dialogs() = default;
    // A box with one "OK" button.
    virtual void message(Icon icon, const QString &title, const QString &text) = 0;
    // A box with "Sim" and "Não"; true when the user answers "Sim".
    virtual bool askYesNo(Icon icon, const QString &title, const QString &text) = 0;

    // The installed implementation, else the default, else the console boxes.
    static Dialogs &current();
    // Installs d (not owned); nullptr restores the default.
    static void install(Dialogs *d);
    // The boxes used when none is installed (not owned): the real boxes, set at start-up.
    static void setDefault(Dialogs *d);
    // The title of boxes that name none: the application's title, set once at start-up.
    static void setApplicationTitle(const QString &title);
    static QString applicationTitle();

    // Shorthands used across the program; the title is the application's title.
    static void information(const QString &text);
    static void error(const QString &text);
    static void warning(const QString &text);
    static bool question(const QString &text);
};

// Writes every box to standard output as "[kind] text" and answers questions with "Não". Used when
// the program runs unattended (QUELVADO_UNATTENDED=1): smoke starts and process tests.
class ConsoleDialogs : public Dialogs {
public:
    void message(Icon icon, const QString &title, const QString &text) override;
    bool askYesNo(Icon icon, const QString &title, const QString &text) override;
};
