// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/clockface.h"

#include "common/clock.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

namespace {
const QColor kNavy(0, 0, 128);
const QColor kRim(96, 104, 128);
const QColor kFaceLight(255, 255, 255);
const QColor kFaceEdge(226, 230, 238);
const QColor kHand(20, 28, 72);
const QColor kSecondHand(200, 16, 32);

// A hand pointing up from the centre (0, 0): a slim lozenge from a short tail to the tip.
QPainterPath handPath(double reach, double tail, double halfWidth)
{
    QPainterPath path;
    path.moveTo(0, tail);
    path.lineTo(halfWidth, 0);
    path.lineTo(halfWidth * 0.35, -reach);
    path.lineTo(-halfWidth * 0.35, -reach);
    path.lineTo(-halfWidth, 0);
    path.closeSubpath();
    return path;
}
} // namespace

TClockFace::TClockFace(QWidget *parent) : QWidget(parent)
{
    resize(135, 135);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TClockFace::tick);
}

QTime TClockFace::time()
{
    return Clock::current().localNow().time();
}

void TClockFace::scheduleTick()
{
    // Wake a few milliseconds into the next second so the face never lags a whole second.
    const QTime now = time();
    const int ms = now.isValid() ? now.msec() : 0;
    m_timer.start(1000 - ms + 5);
}

void TClockFace::tick()
{
    setAccessibleName(QLocale::system().toString(time(), QLocale::LongFormat));
    update();
    scheduleTick();
}

void TClockFace::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    scheduleTick();
}

void TClockFace::hideEvent(QHideEvent *event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

void TClockFace::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    if (side < 8)
        return;
    p.translate(width() / 2.0, height() / 2.0);

    // The face: a white disc fading to a cool grey at its edge, in a thin rim.
    const double outer = side / 2.0 - 1.0;
    QRadialGradient shade(QPointF(0, 0), outer);
    shade.setColorAt(0.0, kFaceLight);
    shade.setColorAt(0.75, kFaceLight);
    shade.setColorAt(1.0, kFaceEdge);
    p.setPen(QPen(kRim, 1.5));
    p.setBrush(shade);
    p.drawEllipse(QPointF(0, 0), outer - 0.75, outer - 0.75);

    // The dial: a large dot at each hour, a small one at each minute between.
    const double dial = outer - std::max(5.0, side * 0.06);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    const double hourDot = std::max(1.5, side * 0.024);
    const double minuteDot = std::max(0.6, side * 0.009);
    for (int i = 0; i < 60; ++i) {
        p.save();
        p.rotate(i * 6.0);
        const double r = i % 5 == 0 ? hourDot : minuteDot;
        p.drawEllipse(QPointF(0, -dial), r, r);
        p.restore();
    }

    const QTime t = time();
    if (!t.isValid())
        return;
    const double s = t.second();
    const double m = t.minute() + s / 60.0;
    const double h = t.hour() % 12 + m / 60.0;

    p.setBrush(kHand);
    p.save();
    p.rotate(h * 30.0);
    p.drawPath(handPath(dial * kHourReach, dial * 0.12, side * 0.035));
    p.restore();
    p.save();
    p.rotate(m * 6.0);
    p.drawPath(handPath(dial * kMinuteReach, dial * 0.14, side * 0.026));
    p.restore();

    p.save();
    p.rotate(s * 6.0);
    p.setPen(QPen(kSecondHand, std::max(1.0, side * 0.011), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, dial * 0.2), QPointF(0, -dial * kSecondReach));
    p.restore();

    // The hub.
    p.setPen(Qt::NoPen);
    p.setBrush(kHand);
    p.drawEllipse(QPointF(0, 0), side * 0.035, side * 0.035);
    p.setBrush(kSecondHand);
    p.drawEllipse(QPointF(0, 0), side * 0.017, side * 0.017);
}
