// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A spin control: two arrow buttons stacked in one control, the up arrow above the down arrow.
// A click on an arrow is one step; holding the mouse button down on an arrow repeats the step,
// first after repeatDelay() milliseconds, then every repeatInterval() milliseconds, until the
// button is released (no repeat while the mouse is off the pressed arrow). While the control has
// the focus, the Up and Down arrow keys act as its arrows.

#include <QTimer>
#include <QWidget>

class TSpinButton : public QWidget {
    Q_OBJECT
public:
    enum class Arrow { None, Up, Down };

    explicit TSpinButton(QWidget *parent = nullptr);

    // Delay before the first repeat and time between repeats, in milliseconds (400 and 100).
    int repeatDelay() const { return m_delay; }
    void setRepeatDelay(int milliseconds) { m_delay = milliseconds; }
    int repeatInterval() const { return m_interval; }
    void setRepeatInterval(int milliseconds) { m_interval = milliseconds; }

    // The arrow drawn pushed in (None when neither is).
    Arrow pressedArrow() const { return m_tracking && m_inside ? m_trackingArrow : Arrow::None; }
    // The rectangles of the up and down arrow buttons, in the control's coordinates.
    QRect upRect() const;
    QRect downRect() const;

    QSize sizeHint() const override { return {20, 30}; }

signals:
    // One step of the up arrow (a click, a repeat or the Up key).
    void upClick();
    // One step of the down arrow (a click, a repeat or the Down key).
    void downClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    Arrow arrowAt(QPoint p) const;
    void step(Arrow arrow);
    void repeat();
    void stopTracking();
    void paintArrowButton(class QPainter &p, QRect r, Arrow arrow, bool down) const;

    QTimer m_timer;
    int m_delay = 400;
    int m_interval = 100;
    Arrow m_trackingArrow = Arrow::None;
    bool m_tracking = false;
    bool m_inside = false;
};
