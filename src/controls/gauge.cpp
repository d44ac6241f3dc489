// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/gauge.h"

#include <QPainter>
#include <algorithm>

namespace {
// Black on light colours, white on dark ones.
QColor textOn(const QColor &ground)
{
    return ground.lightness() >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}
} // namespace

TGauge::TGauge(QWidget *parent) : QWidget(parent)
{
    resize(100, 22);
    setAccessibleName(text());
}

void TGauge::setBackColor(TColor v)
{
    if (v == m_backColor)
        return;
    m_backColor = v;
    update();
}

void TGauge::setForeColor(TColor v)
{
    if (v == m_foreColor)
        return;
    m_foreColor = v;
    update();
}

void TGauge::setMin(int v)
{
    if (v == m_min || v > m_max)
        return;
    m_min = v;
    m_progress = std::max(m_progress, v);
    update();
}

void TGauge::setMax(int v)
{
    if (v == m_max || v < m_min)
        return;
    m_max = v;
    m_progress = std::min(m_progress, v);
    update();
}

void TGauge::setProgress(int v)
{
    v = std::clamp(v, m_min, m_max);
    if (v == m_progress)
        return;
    m_progress = v;
    update();
    setAccessibleName(text());
}

int TGauge::percentDone() const
{
    const long long range = static_cast<long long>(m_max) - m_min;
    if (range <= 0)
        return 0;
    return static_cast<int>((static_cast<long long>(m_progress) - m_min) * 100 / range);
}

QString TGauge::text() const
{
    return QString::number(percentDone()) + QLatin1Char('%');
}

void TGauge::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor back = toQColor(m_backColor, palette());
    const QColor fore = toQColor(m_foreColor, palette());

    // A one-pixel border; the bar and the ground share the inside.
    p.setPen(palette().color(QPalette::WindowText));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    if (inside.isEmpty())
        return;
    const int filled = inside.width() * percentDone() / 100;
    const QRect bar(inside.left(), inside.top(), filled, inside.height());
    const QRect ground(inside.left() + filled, inside.top(), inside.width() - filled, inside.height());
    p.fillRect(bar, fore);
    p.fillRect(ground, back);

    // The text, drawn once per part so each piece stands out on the colour under it.
    p.setFont(font());
    for (const auto &[part, colour] : {std::pair{bar, fore}, std::pair{ground, back}}) {
        if (part.isEmpty())
            continue;
        p.save();
        p.setClipRect(part);
        p.setPen(textOn(colour));
        p.drawText(inside, Qt::AlignCenter, text());
        p.restore();
    }
}
