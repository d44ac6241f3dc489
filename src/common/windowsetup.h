#pragma once
// Window set-up shared by the program's secondary windows.

#include <QColor>
#include <QFont>
#include <QList>
#include <QSize>

class QAbstractButton;
class QEvent;
class QKeyEvent;
class QObject;
class QWidget;

namespace WindowSetup {
enum class Border { Single, Dialog };
// Makes w a fixed-size top-level window with the given client size, a border that cannot be
// resized and only the system menu and close box in its caption; optionally always on top.
void fixedWindow(QWidget *w, QSize client, Border border, bool stayOnTop = false);
// Moves w so its top edge is at top and it is centred horizontally on the screen.
void placeCentred(QWidget *w, int top);
// Paints w's background in colour.
void fillBackground(QWidget *w, const QColor &colour);
// The program's sans-serif font at a size in pixels, as the window layouts give it.
QFont font(int pixelSize, bool bold = false);
// The key press event when event is one, delivered to window or one of its controls; else nullptr.
// Windows that see keys before their controls call it from their application event filter.
QKeyEvent *keyPressIn(const QWidget *window, QObject *watched, QEvent *event);
// Tab into the group of items lands on the checked one (the others take the focus only from a
// click or the arrow keys), whichever item is checked later.
void tabToCheckedItem(const QList<QAbstractButton *> &items);
} // namespace WindowSetup
