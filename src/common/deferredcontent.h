// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building a window's controls later than the window itself. The program creates all its windows
// at start-up, but only the main window is seen then; the others build their controls a moment
// after the event loop starts, or at once when they are first shown or used, so that the start is
// not held up by windows nobody sees yet.

#include <QObject>

#include <functional>

enum class WindowConstruction { Immediate, Deferred };

class DeferredContent {
public:
    // Immediate builds now; Deferred builds 250 ms after the event loop starts (owner's timer), or
    // earlier through ensure(). build runs exactly once.
    void start(QObject *owner, WindowConstruction construction, std::function<void()> build);
    // Builds now if that has not happened yet.
    void ensure();
    bool built() const { return m_built; }

private:
    std::function<void()> m_build;
    bool m_built = false;
};
