#pragma once
// The six windows of the program, created once at start-up and kept for the whole run. Modules
// that cannot include each other's headers reach a window through this registry.

class QWidget;

enum class AppWindow { Topo, Prova, Placas, Dados, Codigo, Download };

namespace AppWindows {
void set(AppWindow which, QWidget *window);
// The window, or nullptr before it is created.
QWidget *get(AppWindow which);
// Shows a window modeless, raised and active; does nothing when it does not exist.
void show(AppWindow which);
// The main window's height as laid out at creation (its designed client height plus its frame);
// the windows below it are placed from this.
int mainWindowHeight();
// left = (screen width - window width) / 2, rounding towards zero.
int centredLeft(const QWidget *window);
} // namespace AppWindows
