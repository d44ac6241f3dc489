// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "spinbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <qdrawutil.h>

TSpinButton::TSpinButton(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    m_timer.setSingleShot(false);
    connect(&m_timer, &QTimer::timeout, this, [this] { repeat(); });
}

QRect TSpinButton::upRect() const
{
    return {0, 0, width(), height() / 2};
}

QRect TSpinButton::downRect() const
{
    const int top = height() / 2;
    return {0, top, width(), height() - top};
}

TSpinButton::Arrow TSpinButton::arrowAt(QPoint p) const
{
    if (upRect().contains(p))
        return Arrow::Up;
    if (downRect().contains(p))
        return Arrow::Down;
    return Arrow::None;
}

void TSpinButton::step(Arrow arrow)
{
    if (arrow == Arrow::Up)
        emit upClick();
    else if (arrow == Arrow::Down)
        emit downClick();
}

void TSpinButton::repeat()
{
    // After the first repeat the steps come at the shorter interval.
    if (m_timer.interval() != m_interval)
        m_timer.setInterval(m_interval);
    if (m_tracking && m_inside && isEnabled())
        step(m_trackingArrow);
}

void TSpinButton::stopTracking()
{
    m_timer.stop();
    const bool wasDrawnDown = pressedArrow() != Arrow::None;
    m_tracking = false;
    m_inside = false;
    m_trackingArrow = Arrow::None;
    if (wasDrawnDown)
        update();
}

void TSpinButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const Arrow arrow = arrowAt(event->position().toPoint());
    if (arrow == Arrow::None)
        return;
    m_trackingArrow = arrow;
    m_tracking = true;
    m_inside = true;
    update();
    m_timer.start(m_delay);
    step(arrow);
}

// A quick second click is one more step, as a first click is.
void TSpinButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void TSpinButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_tracking)
        return;
    const bool inside = arrowAt(event->position().toPoint()) == m_trackingArrow;
    if (inside != m_inside) {
        m_inside = inside;
        update();
    }
}

void TSpinButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        stopTracking();
}

void TSpinButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        step(Arrow::Up);
        break;
    case Qt::Key_Down:
        step(Arrow::Down);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TSpinButton::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void TSpinButton::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

void TSpinButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        stopTracking();
    QWidget::changeEvent(event);
}

void TSpinButton::paintArrowButton(QPainter &p, QRect r, Arrow arrow, bool down) const
{
    const QPalette &pal = palette();
    const QBrush face = pal.brush(QPalette::Button);
    qDrawWinButton(&p, r, pal, down, &face);

    // A solid triangle centred on the face, moved one pixel right and down while pushed in.
    const int half = qMax(2, qMin(r.width() / 4, r.height() / 3));
    const int cx = r.left() + r.width() / 2 - 1 + (down ? 1 : 0);
    const int cy = r.top() + r.height() / 2 - 1 + (down ? 1 : 0);
    const int h = half / 2 + 1;
    QPolygon tri;
    if (arrow == Arrow::Up)
        tri << QPoint(cx - half, cy + h / 2 + 1) << QPoint(cx + half, cy + h / 2 + 1)
            << QPoint(cx, cy - h + 1);
    else
        tri << QPoint(cx - half, cy - h / 2) << QPoint(cx + half, cy - h / 2) << QPoint(cx, cy + h);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (isEnabled()) {
        p.setPen(Qt::black);
        p.setBrush(Qt::black);
        p.drawPolygon(tri);
    } else {
        p.setPen(Qt::white);
        p.setBrush(Qt::white);
        p.drawPolygon(tri.translated(1, 1));
        p.setPen(pal.color(QPalette::Dark));
        p.setBrush(pal.color(QPalette::Dark));
        p.drawPolygon(tri);
    }
    if (hasFocus()) {
        QPen dots(Qt::black, 1, Qt::DotLine);
        p.setPen(dots);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

void TSpinButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const Arrow shown = pressedArrow();
    paintArrowButton(p, upRect(), Arrow::Up, shown == Arrow::Up);
    paintArrowButton(p, downRect(), Arrow::Down, shown == Arrow::Down);
}
