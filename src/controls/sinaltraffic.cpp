// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/sinaltraffic.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

const QColor kRingBlack(0, 0, 0);
const QColor kRingSilver(192, 192, 192);
const QColor kRingGrey(128, 128, 128);

// The angle, in degrees from 0 to 360 counter-clockwise from the right, of the point where the ray
// from the centre of box (right and bottom exclusive) through (x, y) meets the ellipse inscribed in
// box, measured on the circle the ellipse is squeezed from (so a ray and the ellipse point it
// names get the same angle whatever the box's proportions).
double rayAngle(const QRect &box, double x, double y)
{
    const double cx = box.x() + box.width() / 2.0;
    const double cy = box.y() + box.height() / 2.0;
    const double deg = std::atan2((cy - y) / box.height(), (x - cx) / box.width()) * 180.0 / std::numbers::pi;
    return deg < 0 ? deg + 360.0 : deg;
}

// Whether angle lies on the counter-clockwise way from angle from to angle to (a full turn when
// both are the same).
bool onArc(double angle, double from, double to)
{
    double span = to - from;
    if (span <= 0)
        span += 360.0;
    double along = angle - from;
    if (along < 0)
        along += 360.0;
    return along < span;
}

// The pixels of the ellipse inscribed in box: for each row of the box, top to bottom, its first and
// last column. A pixel belongs to the ellipse when its centre does; every row of the box has at
// least one, and the widest row reaches both sides of the box.
struct Span {
    int x0, x1;
};
QList<Span> ellipseSpans(const QRect &box)
{
    QList<Span> rows;
    const double cx = box.x() + box.width() / 2.0, rx = box.width() / 2.0;
    const double cy = box.y() + box.height() / 2.0, ry = box.height() / 2.0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        const double half = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        rows.append(
            {static_cast<int>(std::ceil(cx - half - 0.5)), static_cast<int>(std::floor(cx + half - 0.5))});
    }
    return rows;
}

bool covers(const QList<Span> &rows, qsizetype row, int x)
{
    return row >= 0 && row < rows.size() && rows[row].x0 <= x && x <= rows[row].x1;
}

} // namespace

TSinalTraffic::TSinalTraffic(QWidget *parent) : QWidget(parent)
{
    resize(16, 48);
    setAccessibleName(accessibleText(m_state));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TSinalTraffic::setBorderStyle(TBorderStyle v)
{
    if (v == m_borderStyle)
        return;
    m_borderStyle = v;
    update();
}

void TSinalTraffic::setState(TState v)
{
    if (v == m_state)
        return;
    m_state = v;
    update();
    setAccessibleName(accessibleText(m_state));
}

QString TSinalTraffic::accessibleText(TState state)
{
    switch (state) {
    case sGreen:
        return QStringLiteral("Certa");
    case sRed:
        return QStringLiteral("Errada");
    case sNone:
        return QStringLiteral("Apagado");
    default:
        return QStringLiteral("Aceso");
    }
}

bool TSinalTraffic::isLit(TState state, Lamp lamp)
{
    switch (lamp) {
    case Red:
        return state == sAll || state == sRed || state == sRedAmber;
    case Amber:
        return state == sAll || state == sAmber || state == sRedAmber;
    case Green:
        return state == sAll || state == sGreen;
    }
    return false;
}

QColor TSinalTraffic::lampColor(Lamp lamp, bool lit)
{
    const int on = lit ? 255 : 127;
    switch (lamp) {
    case Red:
        return QColor(on, 0, 0);
    case Amber:
        return QColor(on, on, 0);
    case Green:
        return QColor(0, on, 0);
    }
    return QColor();
}

QRect TSinalTraffic::lampBox(Lamp lamp, QSize size)
{
    const int w = size.width(), h = size.height(), t = h / 3;
    switch (lamp) {
    case Red:
        return QRect(0, 0, w, t);
    case Amber:
        return QRect(0, t, w, h - 2 * t);
    case Green:
        return QRect(0, h - t, w, t);
    }
    return QRect();
}

void TSinalTraffic::paintLamp(QPainter &p, Lamp lamp) const
{
    const QRect box = lampBox(lamp, size());
    if (box.isEmpty())
        return;
    const QColor fill = lampColor(lamp, isLit(m_state, lamp));
    const QList<Span> rows = ellipseSpans(box);
    for (qsizetype i = 0; i < rows.size(); ++i)
        p.fillRect(QRect(rows[i].x0, box.top() + static_cast<int>(i), rows[i].x1 - rows[i].x0 + 1, 1), fill);

    // The ring: the pixels of the ellipse next to a pixel outside it, coloured by the border style.
    // esPro has a light upper-left and a dark lower-right half, divided by the rays through the
    // control's top right corner and the box's bottom left corner.
    const double light = rayAngle(box, width(), 0);
    const double dark = rayAngle(box, 0, box.y() + box.height());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const int y = box.top() + static_cast<int>(i);
        for (int x = rows[i].x0; x <= rows[i].x1; ++x) {
            if (x != rows[i].x0 && x != rows[i].x1 && covers(rows, i - 1, x) && covers(rows, i + 1, x))
                continue;
            QColor ring;
            switch (m_borderStyle) {
            case bsNone: // the ring has the fill colour
                ring = fill;
                break;
            case bsStd:
                ring = kRingBlack;
                break;
            case esPro:
            default:
                ring = onArc(rayAngle(box, x + 0.5, y + 0.5), light, dark) ? kRingSilver : kRingGrey;
                break;
            }
            p.fillRect(QRect(x, y, 1, 1), ring);
        }
    }
}

void TSinalTraffic::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    for (Lamp lamp : {Red, Amber, Green})
        paintLamp(p, lamp);
}
