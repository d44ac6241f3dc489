// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel.h"

#include <QPainter>

namespace {
const QColor kHighlight(255, 255, 255);
const QColor kShadow(128, 128, 128);
} // namespace

QRect drawBevel(QPainter &p, QRect r, TPanel::TBevelCut cut, int width)
{
    if (cut == TPanel::bvNone || width <= 0)
        return r;
    const QColor topLeft = cut == TPanel::bvRaised ? kHighlight : kShadow;
    const QColor bottomRight = cut == TPanel::bvRaised ? kShadow : kHighlight;
    for (int i = 0; i < width && r.width() > 1 && r.height() > 1; ++i) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
        p.setPen(bottomRight);
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
    return r;
}

TPanel::TPanel(QWidget *parent) : QWidget(parent)
{
    adoptColor(palette().color(QPalette::Button));
}

void TPanel::adoptColor(const QColor &c)
{
    m_color = c;
    // The panel fills every pixel it covers: what lies beneath need not be painted first.
    setAttribute(Qt::WA_OpaquePaintEvent, c.alpha() == 255);
}

void TPanel::setBevelInner(TBevelCut b)
{
    if (b != m_inner) {
        m_inner = b;
        update();
    }
}

void TPanel::setBevelOuter(TBevelCut b)
{
    if (b != m_outer) {
        m_outer = b;
        update();
    }
}

void TPanel::setBevelWidth(int w)
{
    if (w != m_bevelWidth && w >= 0) {
        m_bevelWidth = w;
        update();
    }
}

void TPanel::setBorderWidth(int w)
{
    if (w != m_borderWidth && w >= 0) {
        m_borderWidth = w;
        update();
    }
}

void TPanel::setColor(const QColor &c)
{
    if (c != m_color) {
        adoptColor(c);
        update();
    }
}

void TPanel::setCaption(const QString &text)
{
    if (text != m_caption) {
        m_caption = text;
        update();
    }
}

void TPanel::setAlignment(Qt::Alignment a)
{
    if (a != m_alignment) {
        m_alignment = a;
        update();
    }
}

int TPanel::frameThickness() const
{
    return (m_outer != bvNone ? m_bevelWidth : 0) + m_borderWidth + (m_inner != bvNone ? m_bevelWidth : 0);
}

QRect TPanel::clientRect() const
{
    const int t = frameThickness();
    return rect().adjusted(t, t, -t, -t);
}

void TPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    QRect r = drawBevel(p, rect(), m_outer, m_bevelWidth);
    r.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    r = drawBevel(p, r, m_inner, m_bevelWidth);
    if (!m_caption.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.setFont(font());
        p.drawText(r, static_cast<int>(m_alignment) | Qt::TextSingleLine, m_caption);
    }
}
