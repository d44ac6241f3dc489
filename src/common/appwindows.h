// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The six windows of the program, created once at start-up (the main one first, the others once it
// has painted), owned by the start-up and kept for the whole run. Every module reaches another
// window through this registry, which never owns.

#include <QWidget>

#include <functional>

enum class AppWindow { Topo, Prova, Placas, Dados, Codigo, Download, Count };

namespace AppWindows {
void set(AppWindow which, QWidget *window);
// What creates the windows not made yet (the start-up makes all but the main one just after the
// main one's first paint). It is called once, by the first get() of a window that is missing, and
// forgotten; nullptr forgets it.
void setMaker(std::function<void()> make);
// The window, or nullptr before it is created.
QWidget *get(AppWindow which);
// The window as its class W, or nullptr before it is created (or when it is not a W).
template <typename W> W *get(AppWindow which)
{
    return qobject_cast<W *>(get(which));
}
// Shows a window modeless, raised and active; does nothing when it does not exist.
void show(AppWindow which);
// The main window's height as laid out at creation (its designed client height plus its frame);
// the windows below it are placed from this.
int mainWindowHeight();
// left = (screen width - window width) / 2, rounding towards zero.
int centredLeft(const QWidget *window);
} // namespace AppWindows
