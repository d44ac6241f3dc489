#pragma once
// Window set-up shared by the program's secondary windows.

#include <QSize>

class QWidget;

namespace WindowSetup {
enum class Border { Single, Dialog };
// Makes w a fixed-size top-level window with the given client size, a border that cannot be
// resized and only the system menu and close box in its caption; optionally always on top.
void fixedWindow(QWidget *w, QSize client, Border border, bool stayOnTop = false);
// Moves w so its top edge is at top and it is centred horizontally on the screen.
void placeCentred(QWidget *w, int top);
} // namespace WindowSetup
