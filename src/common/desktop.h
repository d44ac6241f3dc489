// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop services the program uses: opening an address, a mail link or a file with the
// system's handler, and showing the help file at a topic. main() installs the real services; tests
// install a recording fake.

#include <QString>

class Desktop {
public:
    virtual ~Desktop() = default;
    // Opens a web address, a "mailto:" link or a local file; false when nothing could open it.
    virtual bool open(const QString &target) = 0;
    // Shows the help file at a named topic ("topic0", "Topic90").
    virtual void helpTopic(const QString &topic) = 0;
    // Shows the help file at a numbered context (20: the exam, signs and code windows).
    virtual void helpContext(int context) = 0;

    static Desktop &current();
    // Installs d (not owned); nullptr restores the system services.
    static void install(Desktop *d);
};

// Opens addresses and files through QDesktopServices. Help goes to the function set with
// setHelpViewer (the shell's help window); without one, help does nothing.
class SystemDesktop : public Desktop {
public:
    using HelpViewer = void (*)(const QString &anchor);
    static void setHelpViewer(HelpViewer viewer);

    bool open(const QString &target) override;
    void helpTopic(const QString &topic) override;
    void helpContext(int context) override;
};
