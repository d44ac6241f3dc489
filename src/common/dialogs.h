#pragma once
// The one way the program shows message boxes. main() installs the real boxes; tests install a
// recording fake (tests/support/fakedialogs.h) so that no test ever waits on a modal box.

#include <QString>

class QWidget;

class Dialogs {
public:
    enum class Icon { None, Information, Warning, Error, Question };

    virtual ~Dialogs() = default;
    // A box with one "OK" button.
    virtual void message(Icon icon, const QString &title, const QString &text) = 0;
    // A box with "Sim" and "Não"; true when the user answers "Sim".
    virtual bool askYesNo(Icon icon, const QString &title, const QString &text) = 0;

    // The installed implementation (the real boxes until something else is installed).
    static Dialogs &current();
    // Installs d (not owned); nullptr restores the real boxes.
    static void install(Dialogs *d);
    // The title of boxes that name none: the application's title, set once at start-up.
    static void setApplicationTitle(const QString &title);
    static QString applicationTitle();

    // Shorthands used across the program; the title is the application's title.
    static void information(const QString &text);
    static void error(const QString &text);
    static void warning(const QString &text);
    static bool question(const QString &text);
};

// Message boxes built on QMessageBox with Portuguese buttons.
class MessageBoxDialogs : public Dialogs {
public:
    void message(Icon icon, const QString &title, const QString &text) override;
    bool askYesNo(Icon icon, const QString &title, const QString &text) override;
};

// Writes every box to standard output as "[kind] text" and answers questions with "Não". Used when
// the program runs unattended (QUELVADO_UNATTENDED=1): smoke starts and process tests.
class ConsoleDialogs : public Dialogs {
public:
    void message(Icon icon, const QString &title, const QString &text) override;
    bool askYesNo(Icon icon, const QString &title, const QString &text) override;
};
