// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window roller: a component that gives a window a small roll-up button. Pressing the button
// rolls the window up to a thin strip of its caption height, pressing it again shows the whole
// window. The window manager draws the caption bar here, so the button stands at the top right
// corner of the window's client area and stays visible on the rolled-up strip; for a window of
// fixed size the roller changes the fixed height and gives the old height back on restoring.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

enum class TRollerMode { rmRestored = 0, rmRolledUp = 1 };

class TWinRollerButton;

class TWinRoller : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Roller READ Roller WRITE SetRoller)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
public:
    // A roller for owner, which must be a window (a top-level widget). Throws EOwnerError "Class of
    // the owner is not a TForm!" otherwise, leaving owner untouched.
    explicit TWinRoller(QWidget *owner);
    ~TWinRoller() override;

    // The button reacts to the mouse and can roll the window; false (the default) draws it greyed.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    // True while the window is rolled up. Setting it rolls up or restores; ignored while not
    // Enabled or when unchanged.
    bool Roller() const { return m_roller; }
    void SetRoller(bool value);
    // The button is shown and handles the mouse (default true).
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);

    // The owner window (nullptr once it is gone).
    QWidget *owner() const { return m_owner; }
    // The button's rectangle in the owner's client coordinates (empty when there is no owner).
    QRect ButtonRect() const { return m_buttonRect; }
    // The height of the owner's client area while rolled up: the caption height of its style.
    int rolledHeight() const;
    // True while a press that began on the button is held and the button is drawn pushed in.
    bool Pressed() const { return m_pressed; }
    bool Tracking() const { return m_tracking; }

signals:
    // Raised after each roll-up and each restore, once the window has changed.
    void OnRoller(TWinRoller *Sender, TRollerMode mode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TWinRollerButton;
    void computeButtonRect();
    void placeStrip();
    void rollUp();
    // Shows the whole window again; raises OnRoller when notify is set.
    void restore(bool notify = true);
    void applyRolledHeight();
    // The button's mouse, in the button's coordinates.
    void buttonPressed(QPoint p);
    void buttonMoved(QPoint p);
    void buttonReleased(QPoint p);

    QPointer<QWidget> m_owner;
    QPointer<TWinRollerButton> m_button;
    // While rolled up: a plain strip over the top of the client area, under the button.
    QPointer<QWidget> m_strip;
    QRect m_buttonRect;
    bool m_enabled = false;
    bool m_roller = false;
    bool m_visible = true;
    bool m_pressed = false;
    bool m_tracking = false;
    bool m_busy = false;
    // The owner's client height and its height limits before it was rolled up.
    int m_restoreHeight = 0;
    int m_savedMinHeight = 0;
    int m_savedMaxHeight = QWIDGETSIZE_MAX;
};

// The roll-up button the roller puts on its owner's client area (object name "WinRollerButton").
class TWinRollerButton : public QWidget {
    Q_OBJECT
public:
    TWinRollerButton(TWinRoller *roller, QWidget *owner);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TWinRoller *m_roller;
};
