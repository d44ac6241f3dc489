// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ledmeter.h"

#include "controls/leddisplay.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

int ledCount(int n, long long range, int quantity)
{
    if (range <= 0 || quantity <= 0)
        return 0;
    // In extended precision; the default rounding mode rounds half to even.
    const long double count =
        std::nearbyint(static_cast<long double>(n) / (static_cast<long double>(range) / quantity));
    return static_cast<int>(std::min(count, static_cast<long double>(n) + 1));
}

TLEDMeter::TLEDMeter(QWidget *parent) : QWidget(parent)
{
    resize(143, 16);
    setAccessibleName(QStringLiteral("%1%").arg(m_position));
    recomputeUnlit();
}

void TLEDMeter::setBevelStyle(TPanelBevel v)
{
    if (v == m_bevelStyle)
        return;
    m_bevelStyle = v;
    repaint();
}

void TLEDMeter::setColorLED(std::size_t zone, TColor v)
{
    if (v == m_colorLED[zone])
        return;
    m_colorLED[zone] = v;
    m_unlit[zone] = contrastColor(v, m_contrast, palette());
    repaint();
}

void TLEDMeter::setColorLED1(TColor v)
{
    setColorLED(0, v);
}
void TLEDMeter::setColorLED2(TColor v)
{
    setColorLED(1, v);
}
void TLEDMeter::setColorLED3(TColor v)
{
    setColorLED(2, v);
}

void TLEDMeter::setColorSeperator(TColor v)
{
    if (v == m_colorSeperator)
        return;
    m_colorSeperator = v;
    repaint();
}

void TLEDMeter::setDirection(TMeterDirection v)
{
    if (v == m_direction)
        return;
    m_direction = v;
    repaint();
}

void TLEDMeter::setLEDContrast(int v)
{
    if (v == m_contrast || v < 0 || v > 9)
        return;
    m_contrast = v;
    recomputeUnlit();
    update();
}

void TLEDMeter::setMax(int v)
{
    if (v == m_max)
        return;
    m_max = v;
    m_startColor2 = std::min(m_startColor2, v);
    m_startColor3 = std::min(m_startColor3, v);
    repaint();
}

void TLEDMeter::setMin(int v)
{
    if (v == m_min)
        return;
    m_min = v;
    m_startColor2 = std::max(m_startColor2, v);
    m_startColor3 = std::max(m_startColor3, v);
    repaint();
}

void TLEDMeter::setNumDigits(int v)
{
    if (v == m_numDigits || v < 1)
        return;
    m_numDigits = v;
    repaint();
}

int TLEDMeter::clampToRange(int v) const
{
    return std::max(std::min(v, m_max), m_min);
}

void TLEDMeter::setPosition(int v)
{
    if (v == m_position)
        return;
    m_position = clampToRange(v);
    repaint();
    setAccessibleName(QStringLiteral("%1%").arg(m_position));
    emit changed();
}

void TLEDMeter::setSingleLED(bool v)
{
    if (v == m_singleLED)
        return;
    m_singleLED = v;
    repaint();
}

void TLEDMeter::setStartColor2(int v)
{
    if (v == m_startColor2)
        return;
    m_startColor2 = std::min(clampToRange(v), m_startColor3);
    repaint();
}

void TLEDMeter::setStartColor3(int v)
{
    if (v == m_startColor3)
        return;
    m_startColor3 = std::max(clampToRange(v), m_startColor2);
    repaint();
}

void TLEDMeter::recomputeUnlit()
{
    for (std::size_t zone = 0; zone < 3; ++zone)
        m_unlit[zone] = contrastColor(m_colorLED[zone], m_contrast, palette());
}

void TLEDMeter::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int n = m_numDigits;
    const int b = m_bevelStyle != bvNone ? 1 : 0;
    const bool horizontal = m_direction == mdRight || m_direction == mdLeft;
    const int w = horizontal ? (width() - 2 * b) / n : width() - 2 * b - 1;
    const int h = horizontal ? height() - 2 * b : (height() - 2 * b) / n;

    const long long range = static_cast<long long>(m_max) - m_min;
    const int lit = ledCount(n, range, m_position);
    const int zone2 = ledCount(n, range, m_startColor2);
    const int zone3 = ledCount(n, range, m_startColor3);

    p.setPen(QPen(toQColor(m_colorSeperator, palette()), 1));
    for (int i = 0; i < n && w >= 0 && h >= 1; ++i) {
        const std::size_t zone = i < zone2 ? 0 : i < zone3 ? 1 : 2;
        const bool on = i < lit && (!m_singleLED || i == lit - 1);
        p.setBrush(on ? toQColor(m_colorLED[zone], palette()) : m_unlit[zone]);
        int x = b;
        int y = b;
        switch (m_direction) {
        case mdRight:
            x = b + i * w;
            break;
        case mdLeft:
            x = width() - b - (i + 1) * w - 1;
            break;
        case mdDown:
            y = b + i * h;
            break;
        case mdUp:
            y = height() - b - (i + 1) * h;
            break;
        }
        // Covers x .. x + w and y .. y + h - 1, so neighbours share a separator line.
        p.drawRect(QRect(x, y, w, h - 1));
    }

    if (m_bevelStyle != bvNone)
        drawLedBevel(p, rect(), m_bevelStyle == bvRaised, palette());
}

void TLEDMeter::changeEvent(QEvent *event)
{
    // System colours follow the palette.
    if (event->type() == QEvent::PaletteChange) {
        recomputeUnlit();
        update();
    }
    QWidget::changeEvent(event);
}
