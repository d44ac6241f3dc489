// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Program start-up: the application object, the single-instance rule and the six windows.

#include "common/platform.h"

#include <QApplication>
#include <QString>

// The application object; its notify() is the last net for an error no handler caught.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// The single-instance lock: an exclusive lock on a file, held for the process's life and released
// by the system when the process ends.
class InstanceLock {
public:
    enum class Result { Acquired, HeldByAnother, Unavailable };
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;
    // Takes the lock on the file at path, creating it, or taking over an empty, garbled or stale
    // one. HeldByAnother when a running process holds it.
    Result acquire(const QString &path);

private:
    Platform::File m_file;
};

namespace Startup {
// Application title and help file name.
inline const QString applicationTitle = QStringLiteral("Prova de Legislação de Trânsito");
inline const QString helpFile = QStringLiteral("Quelvado.html");
inline const QString secondCopyText = QStringLiteral("Você não pode executar outra cópia do aplicativo");

// The lock file that marks a running copy: one per user, in the user's runtime folder.
QString instanceLockPath();
// Sets the application title and help viewer, shows Qt's own texts (standard buttons, dialogs,
// context menus) in Brazilian Portuguese, adds the fonts the program carries (the folder "fonts"
// of its data, where it has one) and installs the hint tracker.
void configureApplication(QApplication &app);
// Makes every font file (.ttf, .otf) in folder available to this program alone, for a system
// without the fonts the windows draw with (DejaVu Sans and Sans Condensed on Windows); a file
// that is not a font is passed over. Returns how many were added.
int addFonts(const QString &folder);
// Creates the six windows in order, each once, and registers them; the main window first.
void createWindows();
// The same in two steps: the main window, then the other five.
void createMainWindow();
void createOtherWindows();
// Destroys the six windows in reverse order.
void destroyWindows();
// The whole program: returns the exit code.
int run(int argc, char **argv);
} // namespace Startup
