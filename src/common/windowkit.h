// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window kit: the steps every window repeats as it sets itself up and makes its controls. A
// window gets its fixed size, border and place; a control is made on its parent with its name and
// rectangle; a button also gets its caption and picture; a text gets its colour and the program's
// font; a picture or label becomes a link that does something when clicked; a window sees its keys
// before its controls.

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QList>
#include <QPalette>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>

class QApplication;
class QEvent;
class QKeyEvent;
class QObject;

namespace WindowKit {
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

// A control of type W on parent, named name (no name when nullptr), at the rectangle at (left
// where it is, for a layout to place, when at is null).
template <typename W> W *make(QWidget *parent, const char *name, QRect at = QRect())
{
    auto *w = new W(parent);
    if (name)
        w->setObjectName(QLatin1String(name));
    if (!at.isNull())
        w->setGeometry(at);
    return w;
}

// A button (QPushButton unless B says otherwise: a tool button, a check box, a radio button) made as
// make() makes a control, with its caption and, when iconSize is above 0, icon drawn at
// iconSize × iconSize pixels.
template <typename B = QPushButton>
B *button(QWidget *parent, const char *name, QRect at, const QString &caption, const QIcon &icon = QIcon(),
          int iconSize = 0)
{
    B *b = make<B>(parent, name, at);
    b->setText(caption);
    if (iconSize > 0) {
        b->setIcon(icon);
        b->setIconSize(QSize(iconSize, iconSize));
    }
    return b;
}

// Sets the colour of one role of w's palette in every state (active, inactive, disabled).
void setColour(QWidget *w, QPalette::ColorRole role, const QColor &colour);
// Sets the colour of w's text (the palette's WindowText: labels, group box titles, panels).
inline void setTextColour(QWidget *w, const QColor &colour)
{
    setColour(w, QPalette::WindowText, colour);
}

// Shows w, raised above the other windows and active.
void showInFront(QWidget *w);

// Which release of the left mouse button counts as a click on a clickable control.
enum class Release {
    Inside,   // over the control, as a button counts it
    Anywhere, // wherever the button is let go after it was pressed on the control
};
// Makes w clickable: the hand cursor over it, and a release of the left button that counts runs
// action inside the error guard; that release goes no further (neither w nor its parents see it).
void onClick(QWidget *w, std::function<void()> action, Release release = Release::Inside);
// A key press that reaches control (no child of it took the key) and that matches accepts runs
// action inside the error guard; the key goes no further.
void onKey(QWidget *control, std::function<bool(const QKeyEvent &)> matches, std::function<void()> action);
// Esc without modifiers that reaches window (no control of it took the key) runs action inside the
// error guard.
void onEscape(QWidget *window, std::function<void()> action);
// A window whose content may not fit a small screen holds it in a scroll area filling the window:
// the returned widget is the content (give it the window's layout). The scroll bars show only when
// the window is smaller than what the content needs.
QWidget *scrollingContent(QWidget *window);
// The room a window's frame takes around it (title bar, borders): as measured once the window
// system has framed it, else an allowance of 8 pixels wide and 40 high.
QSize frameAllowance(const QWidget *window);
// Makes window, with its frame, fit the available part of its screen: a resizable window larger
// than that is made smaller (never below its minimum size), and any window is moved so that it
// lies within it.
void fitToScreen(QWidget *window);
// Has every top-level window that shows fitted to its screen (fitToScreen) as it first shows.
void keepWindowsOnScreen(QApplication &app);
// Draws a ring of colour, three pixels wide, around whichever control inside area has the
// keyboard focus (over the control's own painting, taking no clicks), so that the focus is plain
// to see on a coloured background. The ring belongs to area.
void showFocusRing(QWidget *area, const QColor &colour);
// Runs work on a thread of its own and returns when it has ended. Meanwhile the windows keep
// drawing and timers keep running, but no key or click reaches them (they come after); when the
// work lasts over half a second an application-modal box named name, with title and the sentence
// what, shows that the program is busy.
void runOffThread(const QString &title, const QString &what, const char *name,
                  const std::function<void()> &work);
} // namespace WindowKit
